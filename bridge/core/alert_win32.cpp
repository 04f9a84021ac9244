#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "alert.h"

void PlatformAlert(const char* text) {
    const char* headless = std::getenv("FPBRIDGE_HEADLESS");
    if (headless && *headless) {
        std::fprintf(stderr, "Alert: %s\n", text ? text : "");
        return;
    }
    MessageBoxA(nullptr, text, "Alert", MB_OK | MB_ICONWARNING);
}
