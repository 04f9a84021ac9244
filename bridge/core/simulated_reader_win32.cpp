#include "simulated_reader.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "file_version.h"
#include "plog/Log.h"

void WarnIfSimulatedReader(const char* sdkFile) {
    static std::atomic<bool> looked{false};
    if (looked.exchange(true)) return;
    // The SDK is an import of the bridge: loaded, and found by its name.
    const HMODULE sdk = GetModuleHandleA(sdkFile);
    char path[MAX_PATH];
    if (!sdk || GetModuleFileNameA(sdk, path, sizeof path) == 0) return;
    char description[256] = {};
    if (ReadVersionText(path, "FileDescription", description, sizeof description) &&
        std::strstr(description, kSimulatedReaderMark)) {
        PLOGW << sdkFile << " is a simulated reader, for tests only";
    }
}
