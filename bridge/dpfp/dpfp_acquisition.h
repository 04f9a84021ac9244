// The acquisition run that enrollment and live capture share: the capture
// window with the task in its user data, a worker that starts the SDK's
// acquisition, and BioProc, which receives the acquisition's events as window
// messages on the caller's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "DPFPApi.h"
#include "capture_operation.h"
#include "dpfp_task.h"

// Message that ends a run: BioProc closes the frame and stops the loop.
constexpr UINT kFinishMessage = 2029;

// Nothing leaves it: a failure inside the handling of an event (memory ran
// out) ends the run with that failure.
LRESULT CALLBACK BioProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the window, stores the task in its user data, runs `worker` and the
// message loop until the run is finished or cancelled, and waits for the worker.
// The frame is gone when it returns, and no event reaches the task afterwards.
// `bringForward` brings the frame to the front once the worker runs.
void RunAcquisition(BioTask* task, CaptureWorker worker, bool bringForward);

// Worker step: creates the acquisition that posts the operation's events to the
// frame. Returns the SDK's result and the handle.
DPFP_RESULT CreateAcquisition(BioTask* task, DPFP_ACQUISITION* acquisition);

// Ends the run: no later event is taken, and the finish message closes the frame.
void PostFinish(BioTask* task);

// A reader error event (kind 1): the run ends with the error's code and text.
void EndOnReaderError(BioTask* task, LPARAM code);

// The prompt line's text, from any thread.
void ShowPrompt(const BioTask* task, const char* text);

// The sample's own bitmap, drawn into the frame beside the logo.
void DisplayFingerprintImage(const DPFP_SAMPLE* sample, BioTask* task);

// An 8-bit grey image of the sample, sized to the image pane (rows padded to
// four bytes); sets the task's image width and height. Empty when the image
// pane has no size.
std::vector<uint8_t> MakeDisplayImage(BioTask* task, const DPFP_SAMPLE* sample);

// The operations' own handling of their events (kind 0 and 1, and their end).
void EnrollmentEvent(BioTask* task, WPARAM kind, LPARAM data);
void LiveCaptureEvent(BioTask* task, WPARAM kind, LPARAM data);
