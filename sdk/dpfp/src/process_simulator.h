// The one simulator of the process: in dpfpsim.dll on Windows, shared by the
// three SDK libraries that forward to it; in the stand-in's static library in
// native builds.
#pragma once

#include <optional>
#include <string>

#include "simulator.h"

namespace dpfpsim {

// The process's simulator, made on first use with DPFPSIM_SCRIPT applied. On
// Windows its acquisitions post their events with PostMessageA (and send those
// handed over at once with SendMessageTimeoutA); natively there is no window to
// take them, and they are dropped. May throw while it is being made (out of
// memory); the next call tries again.
Simulator& ProcessSimulator();

// The current value of DPFPSIM_SCRIPT, or nothing when it is not set.
std::optional<std::string> EnvironmentScript();

}  // namespace dpfpsim
