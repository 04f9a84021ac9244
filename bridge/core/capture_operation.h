// One reader operation with the capture window: the window on the calling
// thread, the SDK work on a worker thread, the message loop in between.
#pragma once

#include <windows.h>

#include "capture_window.h"
#include "unique_handles_win32.h"

using CaptureWorker = DWORD(WINAPI*)(void* task);
// How a run starts its worker: CreateThread, unless a test says otherwise.
using ThreadStarter = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);

class CaptureRun {
public:
    // Opens the capture window of `moduleName` into `window`, which must stay
    // valid for the run's lifetime: the worker reads it. The frame is null when
    // it could not be made.
    CaptureRun(const char* moduleName, BioWindow* window);
    // Destroys the frame if it still exists and re-arms the pump flag.
    ~CaptureRun();
    CaptureRun(const CaptureRun&) = delete;
    CaptureRun& operator=(const CaptureRun&) = delete;

    HWND frame() const { return m_window->frame; }

    // Starts `worker(task)`, runs the message loop until the worker, the window
    // procedure or "Cancelar" clears the pump flag, then waits for the worker
    // without a time limit, still dispatching messages. Without a frame nothing
    // could wake the loop, so it waits for the worker alone. False when the
    // worker could not be started (the system error is logged).
    bool run(CaptureWorker worker, void* task, ThreadStarter start = CreateThread);

private:
    BioWindow* m_window;
    win32::UniqueHandle m_thread;
};

// A whole run with `prompt` in the prompt line. Returns false when the worker
// could not be started.
bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task);

// What a worker does when it is done: clear the pump flag, then close the frame
// so that the loop of the calling thread wakes up and ends.
void FinishCaptureWorker(const BioWindow* window);
