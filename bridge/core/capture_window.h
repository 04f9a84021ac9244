// The "KAVRO - Biometria" capture window that both bridges show while the
// reader is in use, its message loop and pump flag, and the image painter.
#pragma once

#include <windows.h>

#include <optional>

#include "pump_flag.h"

// The six handles of one capture window, in this order.
struct BioWindow {
    HWND frame;
    HWND prompt;
    HWND cancel;
    HWND logo;
    HWND image;
    HWND version;
};

constexpr int kCancelButtonId = 2;


// Load step: registers the library's own "BioProc" class (one per library, so
// that two bridges in one process keep their own window procedures), whose
// module also gives the window its logo and version, and makes the white
// brush that the static controls are painted with. Unload steps:
// unregister the class, delete the brush.
void RegisterCaptureWindowClass(HMODULE module, WNDPROC procedure);
void UnregisterCaptureWindowClass(HMODULE module);
void ReleaseCaptureWindowBrush();

// Creates the window centred on the screen, topmost, with its children, version
// line and logo; fills `window` and returns the frame (null when it could not be
// made). `moduleName` names the library whose version and logo are shown.
HWND CreateCaptureWindow(const char* moduleName, BioWindow* window);

// Dispatches the calling thread's messages while the pump flag is set. Returns
// the exit code of a quit message that ended it (the host's PostQuitMessage),
// which the caller hands on once its run is over; none otherwise.
std::optional<int> RunMessageLoop();

// Whether `message` closes the capture window from outside its run: WM_CLOSE
// (Alt+F4, the taskbar, a host or another program), the end of the session
// (logoff, shutdown) or the frame's destruction by anyone else. While a run is
// live, each bridge's window procedure ends it on such a message exactly as
// "Cancelar" does.
bool ClosesFromOutside(UINT message, WPARAM wParam);

// Wakes the calling thread's message loop so that it sees a cleared pump flag:
// a sent close or a destroyed frame leaves nothing in the queue that would.
void WakeMessageLoop();

// What both bridges' window procedures do with the messages they do not handle
// themselves: static controls get the white brush, painting redraws the logo
// (which would otherwise be lost the first time the window is uncovered), and
// the rest goes to DefWindowProcA.
LRESULT CaptureWindowDefaults(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows an 8-bit grey image of width x height bytes (rows top-down, no padding)
// at the origin of `window`, through a 256-grey colour table. Every object it
// makes is released before it returns.
void DrawImage(HWND window, int width, int height, const unsigned char* pixels);
