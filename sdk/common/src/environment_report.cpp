#include <cstdio>

#include "simsdk/environment.h"

namespace simsdk {

void ReportMalformedScript(const char* variable, const char* script) {
    std::fprintf(stderr, "%s is malformed, so the simulated reader refuses to start: \"%s\"\n", variable, script);
    std::fflush(stderr);
}

}  // namespace simsdk
