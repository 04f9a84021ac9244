#include "speed_limit.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using Clock = LowSpeedWatch::Clock;

// A download's received bytes at moments after its start, and whether the
// watch ends it there: under 1 KiB/s for a whole minute ends it, anything
// faster or shorter does not.
TEST(LowSpeedWatch, EndsOnlyAWholeWindowUnderTheLimit) {
    struct Step {
        long ms;
        uint64_t received;
        bool tooSlow;
    };
    const struct {
        const char* title;
        std::vector<Step> steps;
    } cases[] = {
        {"a byte every 25 s", {{25000, 1, false}, {50000, 2, false}, {59999, 2, false}, {75000, 3, true}}},
        {"fast, then nothing", {{1000, 10000000, false}, {60000, 10000000, false}, {61001, 10000000, true}}},
        {"just at the limit", {{30000, 30720, false}, {60000, 61440, false}, {90000, 92160, false}}},
        {"just under it", {{30000, 30720, false}, {60000, 61439, true}}},
        {"slow, then a burst", {{59000, 100, false}, {59500, 70000, false}, {61000, 70000, false}}},
        {"silent for a minute after a burst", {{500, 70000, false}, {60000, 70000, false}, {60600, 70000, true}}},
    };
    for (const auto& c : cases) {
        const Clock::time_point start{};
        LowSpeedWatch watch(SpeedLimit(), start);
        for (const Step& step : c.steps) {
            EXPECT_EQ(watch.tooSlow(step.received, start + milliseconds(step.ms)), step.tooSlow)
                << c.title << " at " << step.ms << " ms";
        }
    }
}

}  // namespace
