// One reader operation with the capture window: the window on the calling
// thread, the SDK work on a worker thread, the message loop in between.
#pragma once

#include <windows.h>

#include <optional>

#include "capture_window.h"
#include "unique_handles_win32.h"

using CaptureWorker = DWORD(WINAPI*)(void* task);
// How a run starts its worker: CreateThread, unless a test says otherwise.
using ThreadStarter = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);

class CaptureRun {
public:
    // Starts the worker's thread, then opens the capture window of `moduleName`
    // into `window` while the thread starts up (both take a while under Wine:
    // side by side the reader starts sooner). The worker waits until run()
    // lets it go, so it may read `window`, which must stay valid for the run's
    // lifetime. When no thread can be started (the system error is logged) no
    // window is made; the frame is also null when it could not be made.
    CaptureRun(const char* moduleName, BioWindow* window, CaptureWorker worker, void* task,
               ThreadStarter start = CreateThread);
    // Waits for a worker that is still running, destroys the frame if it
    // still exists and re-arms the pump flag. A quit message that reached the
    // run is posted again, for the host's own loop.
    ~CaptureRun();
    CaptureRun(const CaptureRun&) = delete;
    CaptureRun& operator=(const CaptureRun&) = delete;

    bool started() const { return static_cast<bool>(m_thread); }
    HWND frame() const { return m_window->frame; }

    // Lets the worker go, runs the message loop until the worker, the window
    // procedure, "Cancelar" or a close from outside clears the pump flag, then
    // waits for the worker without a time limit, still dispatching messages. A
    // quit message ends the run as a close from outside does. Without a frame
    // nothing could wake the loop, so it waits for the worker alone.
    void run();

private:
    static DWORD WINAPI Begin(void* self);
    void letGoAndWait();

    BioWindow* m_window;
    CaptureWorker m_worker;
    void* m_task;
    win32::UniqueHandle m_ready;  // set when the worker may go
    win32::UniqueHandle m_thread;
    bool m_waited = false;
    std::optional<int> m_quit;  // exit code of a quit message the run took
};

// A whole run with `prompt` in the prompt line. Returns false when the worker
// could not be started.
bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task);

// What a worker does when it is done: clear the pump flag, then close the frame
// so that the loop of the calling thread wakes up and ends.
void FinishCaptureWorker(const BioWindow* window);
