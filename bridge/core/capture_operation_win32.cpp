#include "capture_operation.h"

#include "operation_guard.h"
#include "plog/Log.h"

namespace {

// Waits for the worker without a time limit, still dispatching this thread's
// messages: after "Cancelar" the frame's close message is handled at once, so
// the window goes while the reader gives up, and a worker or SDK that sends the
// window a message meanwhile (a prompt, a live image) is answered instead of
// waiting for ever. A quit message met here is kept for the host, whose it is.
void WaitForWorker(HANDLE thread, std::optional<int>* quit) {
    const MessageLoopScope loop;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                *quit = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

CaptureRun::CaptureRun(const char* moduleName, BioWindow* window, CaptureWorker worker, void* task,
                       ThreadStarter start)
    : m_window(window), m_worker(worker), m_task(task), m_ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    *window = BioWindow{};
    if (m_ready) m_thread.reset(start(nullptr, 0, Begin, this, 0, nullptr));
    if (!m_thread) {
        const DWORD error = GetLastError();
        PLOGE << "CreateThread failed, system error " << error;
        return;
    }
    CreateCaptureWindow(moduleName, window);
}

CaptureRun::~CaptureRun() {
    // A worker that was never let go still must not outlive the run.
    if (m_thread && !m_waited) letGoAndWait();
    // The run is over: the frame's destruction is no close from outside.
    PumpFlag().store(0);
    if (m_window->frame && IsWindow(m_window->frame)) DestroyWindow(m_window->frame);
    *m_window = BioWindow{};
    PumpFlag().store(1);
    if (m_quit) PostQuitMessage(*m_quit);
}

DWORD WINAPI CaptureRun::Begin(void* self) {
    auto* run = static_cast<CaptureRun*>(self);
    WaitForSingleObject(run->m_ready.get(), INFINITE);
    return run->m_worker(run->m_task);
}

void CaptureRun::letGoAndWait() {
    SetEvent(m_ready.get());
    WaitForWorker(m_thread.get(), &m_quit);
    m_waited = true;
}

void CaptureRun::run() {
    if (!m_thread) return;
    SetEvent(m_ready.get());
    if (frame()) {
        m_quit = RunMessageLoop();
        // The host's thread is to quit: the run ends as if its window had been
        // closed, and the quit goes on to the host once the run is over.
        if (m_quit && IsWindow(frame())) SendMessageA(frame(), WM_CLOSE, 0, 0);
    }
    letGoAndWait();
}

bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task) {
    CaptureRun run(moduleName, window, worker, task);
    if (!run.started()) return false;
    if (run.frame()) SetWindowTextA(window->prompt, prompt);
    run.run();
    return true;
}

void FinishCaptureWorker(const BioWindow* window) {
    PumpFlag().store(0);
    if (window->frame) PostMessageA(window->frame, WM_CLOSE, 0, 0);
}
