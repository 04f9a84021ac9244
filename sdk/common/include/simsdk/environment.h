// The environment variables through which other processes (the demo) script
// a simulated reader.
#pragma once

#include <optional>
#include <string>

namespace simsdk {

// The current value of the variable `name`, or nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);

}  // namespace simsdk
