// The NITGEN bridge's capture window: its procedure, and where the SDK draws.
#pragma once

#include <windows.h>

#include "NBioAPI.h"
#include "capture_window.h"

// The SDK draws the live image into the image pane of the capture window.
inline NBioAPI_WINDOW_OPTION CaptureWindowOption(const BioWindow& window) {
    NBioAPI_WINDOW_OPTION option{};
    option.WindowStyle = NBioAPI_WINDOW_STYLE_INVISIBLE;
    option.ParentWnd = window.frame;
    option.FingerWnd = window.image;
    return option;
}

// "Cancelar" clears the pump flag and closes the frame, and so does a close
// from outside the run (Alt+F4, a logoff, the frame destroyed); static
// controls get the white brush; painting redraws the logo. The reader draws its
// live image into the image pane by itself.
LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
