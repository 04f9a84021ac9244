#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "alert.h"
#include "operation_guard.h"

void PlatformAlert(const char* text) {
    const char* headless = std::getenv("FPBRIDGE_HEADLESS");
    if (headless && *headless) {
        std::fprintf(stderr, "Alert: %s\n", text ? text : "");
        return;
    }
    // The box runs a message loop of its own, which may call back into the host.
    const MessageLoopScope loop;
    MessageBoxA(nullptr, text, "Alert", MB_OK | MB_ICONWARNING);
}
