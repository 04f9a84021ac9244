#include "capture_plan.h"

#include <algorithm>

namespace nbiosim {
namespace {

constexpr uint32_t kFrameIntervalMs = 100;
// A bound on the frames of very long delays; each costs a picture.
constexpr uint32_t kMaxIntervals = 150;
constexpr double kSettledShare = 0.6;

}  // namespace

std::vector<Frame> FrameSchedule(uint32_t delayMs) {
    const uint32_t intervals = std::min(delayMs / kFrameIntervalMs, kMaxIntervals);
    if (intervals == 0) return {Frame{delayMs, 1.0}};

    std::vector<Frame> frames;
    frames.reserve(intervals + 1);
    uint64_t elapsed = 0;
    for (uint32_t k = 0; k <= intervals; ++k) {
        const uint64_t due = static_cast<uint64_t>(delayMs) * k / intervals;
        Frame frame;
        frame.sleepBeforeMs = static_cast<uint32_t>(due - elapsed);
        frame.progress = std::min(1.0, k / (kSettledShare * intervals));
        frames.push_back(frame);
        elapsed = due;
    }
    return frames;
}

}  // namespace nbiosim
