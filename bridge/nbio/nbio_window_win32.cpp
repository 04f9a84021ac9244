#include "nbio_window_win32.h"

#include "capture_window.h"

LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kCancelButtonId) {
        PumpFlag().store(0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    }
    return CaptureWindowDefaults(window, message, wParam, lParam);
}
