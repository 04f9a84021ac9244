// The "KAVRO - Biometria" capture window that both bridges show while the
// reader is in use, its message loop and pump flag, and the image painter.
#pragma once

#include <windows.h>

#include <atomic>

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

// Keeps the message loop running; 1 at load and after every operation. Workers
// clear it before they post WM_CLOSE, so the loop woken by that message sees it clear.
std::atomic<LONG>& PumpFlag();

// Load step: registers the "BioProc" class with `procedure` and makes the white
// brush that the static controls are painted with. Unload step: unregisters the
// class and deletes the brush.
void RegisterCaptureWindowClass(WNDPROC procedure);
void ReleaseCaptureWindowResources();
HBRUSH CaptureWindowBrush();

// Creates the window centred on the screen, topmost, with its children, version
// line and logo; fills `window` and returns the frame (null when it could not be
// made). `moduleName` names the library whose version and logo are shown.
HWND CreateCaptureWindow(const char* moduleName, BioWindow* window);

// Dispatches the calling thread's messages while the pump flag is set.
void RunMessageLoop();

// Window procedure of the NITGEN bridge: "Cancelar" clears the pump flag and
// closes the frame; static controls get the white brush; painting redraws the logo.
LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the frame: background, then the logo, which would otherwise be lost the
// first time the window is uncovered or exposed.
void PaintCaptureWindow(HWND frame);

// Shows an 8-bit grey image of width x height bytes (rows top-down, no padding)
// at the origin of `window`, through a 256-grey colour table. Every object it
// makes is released before it returns.
void DisplayFingerprintImage(HWND window, int width, int height, const unsigned char* pixels);
