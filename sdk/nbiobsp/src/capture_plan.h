// What one capture of the simulated reader will do, decided when the capture
// starts, and the timing of the live pictures it shows meanwhile.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "NBioAPI.h"

namespace nbiosim {

// The time-out a capture uses when its caller passes none (0 or negative).
constexpr uint32_t kDefaultCaptureTimeoutMs = 15000;

struct CapturePlan {
    bool blocked = false;  // waits `waitMs` (its time-out) with no finger, then fails
    uint32_t waitMs = 0;   // how long the capture takes
    NBioAPI_RETURN result = NBioAPIERROR_NONE;
    uint8_t finger = 0;  // the finger read (not for a blocked capture)
    // This long into the capture the user presses the caller's Cancel button;
    // the capture itself goes on as planned.
    std::optional<uint32_t> cancelAfterMs;
};

struct Frame {
    uint32_t sleepBeforeMs = 0;
    double progress = 0.0;  // see RenderFingerprint
};

// Frames for a reading that takes `delayMs`: one about every 100 ms, the
// ridges appearing over the first 60 % of the time and the full print after
// that, the last frame at the very end. Without a delay, one full frame. The
// pauses add up to exactly `delayMs`.
std::vector<Frame> FrameSchedule(uint32_t delayMs);

}  // namespace nbiosim
