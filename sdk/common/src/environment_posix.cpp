#include <cstdlib>

#include "simsdk/environment.h"

namespace simsdk {

std::optional<std::string> EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace simsdk
