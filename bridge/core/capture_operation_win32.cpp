#include "capture_operation.h"

#include "operation_guard.h"
#include "plog/Log.h"

namespace {

// Waits for the worker without a time limit, still dispatching this thread's
// messages: after "Cancelar" the frame's close message is handled at once, so
// the window goes while the reader gives up, and a worker or SDK that sends the
// window a message meanwhile (a prompt, a live image) is answered instead of
// waiting for ever.
void WaitForWorker(HANDLE thread) {
    const MessageLoopScope loop;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

CaptureRun::CaptureRun(const char* moduleName, BioWindow* window) : m_window(window) {
    CreateCaptureWindow(moduleName, window);
}

CaptureRun::~CaptureRun() {
    if (m_window->frame && IsWindow(m_window->frame)) DestroyWindow(m_window->frame);
    *m_window = BioWindow{};
    PumpFlag().store(1);
}

bool CaptureRun::run(CaptureWorker worker, void* task, ThreadStarter start) {
    m_thread.reset(start(nullptr, 0, worker, task, 0, nullptr));
    if (!m_thread) {
        const DWORD error = GetLastError();
        PLOGE << "CreateThread failed, system error " << error;
        return false;
    }
    if (frame()) RunMessageLoop();
    WaitForWorker(m_thread.get());
    return true;
}

bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task) {
    CaptureRun run(moduleName, window);
    if (run.frame()) SetWindowTextA(window->prompt, prompt);
    return run.run(worker, task);
}

void FinishCaptureWorker(const BioWindow* window) {
    PumpFlag().store(0);
    if (window->frame) PostMessageA(window->frame, WM_CLOSE, 0, 0);
}
