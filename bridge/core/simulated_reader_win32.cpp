#include "simulated_reader.h"

#include <atomic>
#include <cstring>

#include "file_version.h"
#include "plog/Log.h"

void WarnIfSimulatedReader(const char* sdkFile) {
    static std::atomic<bool> looked{false};
    if (looked.exchange(true)) return;
    // The SDK is an import of the bridge: loaded, and found by its name.
    char description[256] = {};
    if (ReadLoadedVersionText(sdkFile, "FileDescription", description, sizeof description) &&
        std::strstr(description, kSimulatedReaderMark)) {
        PLOGW << sdkFile << " is a simulated reader, for tests only";
    }
}
