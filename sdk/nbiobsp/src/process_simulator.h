// The one simulator of the process: behind NBioBSP.dll on Windows, behind the
// stand-in's static library in native builds.
#pragma once

#include <optional>
#include <string>

#include "simulator.h"

namespace nbiosim {

// The process's simulator, made on first use with NBIOSIM_SCRIPT applied.
// May throw while it is being made (out of memory); the next call tries again.
Simulator& ProcessSimulator();

// The current value of NBIOSIM_SCRIPT, or nothing when it is not set.
std::optional<std::string> EnvironmentScript();

}  // namespace nbiosim
