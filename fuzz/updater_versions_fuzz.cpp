// Fuzz target: the updater's version comparison. The input is three versions,
// separated by NULs; the comparison must order any versions consistently, or
// an update could be installed and then replaced by the version it replaced.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string versions[3];
    size_t n = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0' && n < 2) {
            ++n;
        } else {
            versions[n] += static_cast<char>(data[i]);
        }
    }
    const std::string& a = versions[0];
    const std::string& b = versions[1];
    const std::string& c = versions[2];

    const int ab = compareVersions(a, b);
    Require(ab >= -1 && ab <= 1, "a comparison answers -1, 0 or 1");
    Require(compareVersions(a, a) == 0, "a version equals itself");
    Require(compareVersions(b, a) == -ab, "swapping the versions turns the answer round");
    const int bc = compareVersions(b, c);
    const int ac = compareVersions(a, c);
    if (ab >= 0 && bc >= 0) Require(ac >= 0, "the order is transitive");
    if (ab == 0 && bc == 0) Require(ac == 0, "equality is transitive");
    return 0;
}
