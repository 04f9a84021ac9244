#include "capture_operation.h"

#include <memory>

namespace {
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
}  // namespace

bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task) {
    HWND frame = CreateCaptureWindow(moduleName, window);
    if (frame) SetWindowTextA(window->prompt, prompt);

    UniqueHandle thread(CreateThread(nullptr, 0, worker, task, 0, nullptr));
    if (thread) {
        // Without a frame nothing would wake the loop when the worker is done.
        if (frame) RunMessageLoop();
        WaitForSingleObject(thread.get(), INFINITE);
    }
    if (frame && IsWindow(frame)) DestroyWindow(frame);
    PumpFlag().store(1);
    return thread != nullptr;
}

void FinishCaptureWorker(const BioWindow* window) {
    PumpFlag().store(0);
    if (window->frame) PostMessageA(window->frame, WM_CLOSE, 0, 0);
}
