#include "nbio_window_win32.h"

#include "capture_window.h"

LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kCancelButtonId) {
        PumpFlag().store(0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    }
    // The flag is set only while a run is live: whoever ends a run clears it
    // before the frame goes. Closed from outside, the run ends as on
    // "Cancelar": the loop stops, the frame goes now (on WM_CLOSE the default
    // handling destroys it), and the reader is still waited for.
    if (ClosesFromOutside(message, wParam) && PumpFlag().exchange(0) != 0) {
        if (message == WM_QUERYENDSESSION || message == WM_ENDSESSION) PostMessageA(window, WM_CLOSE, 0, 0);
        WakeMessageLoop();
    }
    return CaptureWindowDefaults(window, message, wParam, lParam);
}
