// One reader operation with the capture window: the window on the calling
// thread, the SDK work on a worker thread, the message loop in between.
#pragma once

#include <windows.h>

#include "capture_window.h"

using CaptureWorker = DWORD(WINAPI*)(void* task);

// Creates the capture window for `moduleName` with `prompt` in its prompt line,
// starts `worker(task)`, runs the message loop until the worker or "Cancelar"
// clears the pump flag, waits for the worker without a time limit (dispatching
// messages meanwhile), destroys the frame if it still exists and re-arms the
// pump flag. When no frame can be made
// it waits for the worker alone. `window` must stay valid until the call returns;
// the worker reads it. Returns false when the worker could not be started.
bool RunCaptureOperation(const char* moduleName, const char* prompt, BioWindow* window, CaptureWorker worker,
                         void* task);

// What a worker does when it is done: clear the pump flag, then close the frame
// so that the loop of the calling thread wakes up and ends.
void FinishCaptureWorker(const BioWindow* window);
