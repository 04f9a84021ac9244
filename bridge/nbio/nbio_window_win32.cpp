#include "nbio_window_win32.h"

#include "capture_window.h"

LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kCancelButtonId) {
        PumpFlag().store(0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    }
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(CaptureWindowBrush());
    if (message == WM_PAINT) {
        PaintCaptureWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
