// The part of a capture that takes time: waiting for the finger and showing
// its picture meanwhile. Runs outside the simulator's lock.
#pragma once

#include "NBioAPI.h"
#include "capture_plan.h"

namespace nbiosim {

// Waits as `plan` says. A reading shows the finger settling on the reader in
// the option's finger window (if any); a blocked capture shows nothing.
void PerformLiveCapture(const CapturePlan& plan, const NBioAPI_WINDOW_OPTION* option);

}  // namespace nbiosim
