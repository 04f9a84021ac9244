#include "live_capture.h"

#include <windows.h>

#include "finger_window_win32.h"
#include "simsdk/fingerprint_image.h"

namespace nbiosim {
namespace {

// The scripted user of a capture: once the plan's time has come, presses the
// Cancel button of the caller's window, which sends its parent the same
// command a click does.
class CancelButton {
public:
    CancelButton(const CapturePlan& plan, HWND parent)
        : m_pending(plan.cancelAfterMs.has_value()), m_at(plan.cancelAfterMs.value_or(0)), m_parent(parent) {}

    // Waits `ms`, pressing the button on the way when its time falls within them.
    void wait(uint32_t ms) {
        if (m_pending && m_at <= m_elapsed + ms) {
            const uint32_t before = m_at > m_elapsed ? m_at - m_elapsed : 0;
            Sleep(before);
            if (m_parent) PostMessageA(m_parent, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            m_pending = false;
            Sleep(ms - before);
        } else {
            Sleep(ms);
        }
        m_elapsed += ms;
    }

private:
    bool m_pending;
    uint32_t m_at;
    HWND m_parent;
    uint32_t m_elapsed = 0;
};

}  // namespace

void PerformLiveCapture(const CapturePlan& plan, const NBioAPI_WINDOW_OPTION* option) {
    CancelButton cancel(plan, option != nullptr ? static_cast<HWND>(option->ParentWnd) : nullptr);
    if (plan.blocked) {
        cancel.wait(plan.waitMs);
        return;
    }
    const HWND pane = option != nullptr ? static_cast<HWND>(option->FingerWnd) : nullptr;
    for (const Frame& frame : FrameSchedule(plan.waitMs)) {
        if (frame.sleepBeforeMs > 0) cancel.wait(frame.sleepBeforeMs);
        // The window may go away during a long capture; look again each frame.
        if (CanShowPicture(pane)) ShowPicture(pane, simsdk::RenderFingerprint(plan.finger, frame.progress));
    }
}

}  // namespace nbiosim
