#include <chrono>
#include <thread>

#include "live_capture.h"

namespace nbiosim {

// No window to draw into here: a capture only takes its time.
void PerformLiveCapture(const CapturePlan& plan, const NBioAPI_WINDOW_OPTION*) {
    std::this_thread::sleep_for(std::chrono::milliseconds(plan.waitMs));
}

}  // namespace nbiosim
