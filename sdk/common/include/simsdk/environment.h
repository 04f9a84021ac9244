// The environment variables through which other processes (the demo) script
// a simulated reader.
#pragma once

#include <optional>
#include <string>

namespace simsdk {

// The current value of the variable `name`, or nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);

// Tells on standard error that the script in `variable` is malformed and that
// the reader refuses to start: a typo must not pass for a working reader.
void ReportMalformedScript(const char* variable, const char* script);

}  // namespace simsdk
