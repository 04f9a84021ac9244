#include "live_capture.h"

#include <windows.h>

#include "finger_window_win32.h"
#include "simsdk/fingerprint_image.h"

namespace nbiosim {

void PerformLiveCapture(const CapturePlan& plan, const NBioAPI_WINDOW_OPTION* option) {
    if (plan.blocked) {
        Sleep(plan.waitMs);
        return;
    }
    const HWND pane = option != nullptr ? static_cast<HWND>(option->FingerWnd) : nullptr;
    for (const Frame& frame : FrameSchedule(plan.waitMs)) {
        if (frame.sleepBeforeMs > 0) Sleep(frame.sleepBeforeMs);
        // The window may go away during a long capture; look again each frame.
        if (CanShowPicture(pane)) ShowPicture(pane, simsdk::RenderFingerprint(plan.finger, frame.progress));
    }
}

}  // namespace nbiosim
