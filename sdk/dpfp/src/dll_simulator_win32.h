// The one simulator of the loaded dpfpsim.dll, shared by the three SDK
// libraries that forward to it.
#pragma once

#include <optional>
#include <string>

#include "simulator.h"

namespace dpfpsim {

// The process's simulator, made on first use with DPFPSIM_SCRIPT applied; its
// acquisitions post their events with PostMessageA (and send those handed
// over at once with SendMessageTimeoutA). May throw while it is
// being made (out of memory); the next call tries again.
Simulator& DllSimulator();

// The current value of DPFPSIM_SCRIPT, or nothing when it is not set.
std::optional<std::string> EnvironmentScript();

}  // namespace dpfpsim
