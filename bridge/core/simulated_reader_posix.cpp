#include <atomic>

#include "plog/Log.h"
#include "simulated_reader.h"

// Built natively, a bridge links the stand-in SDKs' static libraries: its
// reader is always a simulated one.
void WarnIfSimulatedReader(const char* sdkFile) {
    static std::atomic<bool> warned{false};
    if (!warned.exchange(true)) {
        PLOGW << sdkFile << " is a simulated reader, for tests only";
    }
}
