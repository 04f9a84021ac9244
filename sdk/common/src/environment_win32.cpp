#include "simsdk/environment.h"

#include <windows.h>

namespace simsdk {

std::optional<std::string> EnvironmentVariable(const char* name) {
    // GetEnvironmentVariableA, not getenv: the C runtime's copy of the
    // environment does not see variables a test sets after start-up.
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::string value(needed, '\0');
    const DWORD written = GetEnvironmentVariableA(name, value.data(), needed);
    if (written == 0 || written >= needed) return std::nullopt;
    value.resize(written);
    return value;
}

}  // namespace simsdk
