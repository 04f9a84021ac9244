#include "capture_operation.h"

#include <memory>

namespace {
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Waits for the worker without a time limit, still dispatching this thread's
// messages: after "Cancelar" the frame's close message is handled at once, so
// the window goes while the reader gives up, and an SDK that talks to its
// finger window meanwhile is answered.
void WaitForWorker(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
}  // namespace

bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task) {
    HWND frame = CreateCaptureWindow(moduleName, window);
    if (frame) SetWindowTextA(window->prompt, prompt);

    UniqueHandle thread(CreateThread(nullptr, 0, worker, task, 0, nullptr));
    if (thread) {
        // Without a frame nothing would wake the loop when the worker is done.
        if (frame) RunMessageLoop();
        WaitForWorker(thread.get());
    }
    if (frame && IsWindow(frame)) DestroyWindow(frame);
    PumpFlag().store(1);
    return thread != nullptr;
}

void FinishCaptureWorker(const BioWindow* window) {
    PumpFlag().store(0);
    if (window->frame) PostMessageA(window->frame, WM_CLOSE, 0, 0);
}
