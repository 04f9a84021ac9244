// Fuzz target: the vetting of archive entry names. Whatever name an archive
// carries, one that is let through must name a file beneath the destination
// as Windows reads it: both slashes separate, trailing dots and blanks of each
// element are dropped, and the name ends at its first NUL.
#include <cstddef>
#include <cstdint>
#include <string>

#include "entry_name.h"
#include "fuzz_support.h"

namespace {

std::string AsWindowsReadsIt(std::string element) {
    while (!element.empty() && (element.back() == '.' || element.back() == ' ')) element.pop_back();
    return element;
}

// Stays beneath the folder it is resolved against: relative, no drive or
// stream, and never above its start.
bool StaysBeneath(const std::string& name) {
    if (name.empty()) return true;
    if (name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos) return false;
    int depth = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of("/\\", start);
        const std::string element =
            AsWindowsReadsIt(name.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (element == "..") {
            if (--depth < 0) return false;
        } else if (!element.empty() && element != ".") {
            ++depth;
        }
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    if (!isSafeEntryName(name)) return 0;
    const std::string onDisk = name.c_str();
    Require(StaysBeneath(name) && StaysBeneath(onDisk), "a name let through stays beneath the destination");
    return 0;
}
