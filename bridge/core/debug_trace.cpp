#include "debug_trace.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace {
uint32_t g_debugSwitch = 0;
std::FILE* g_traceFile = nullptr;

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    return t;
}
}  // namespace

int32_t __SetKavroBioDebug(uint8_t value) {
    g_debugSwitch = value;
    return static_cast<int32_t>(g_debugSwitch);
}

bool DebugTraceOn() { return g_debugSwitch != 0; }

void BioDebugLog(const char* format, ...) {
    if (g_debugSwitch == 0) return;
    const std::tm t = LocalNow();
    if (!g_traceFile) {
        g_traceFile = std::fopen("biolog.txt", "w+");
        if (g_traceFile) {
            std::fprintf(g_traceFile, "%02d/%02d/%04d - %02d:%02d:%02d\n", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900,
                         t.tm_hour, t.tm_min, t.tm_sec);
        }
    }
    va_list args;
    va_start(args, format);
    if (!g_traceFile) {
        std::vprintf(format, args);
    } else {
        std::fprintf(g_traceFile, "%02d:%02d:%02d - ", t.tm_hour, t.tm_min, t.tm_sec);
        std::vfprintf(g_traceFile, format, args);
        std::fflush(g_traceFile);
    }
    va_end(args);
}

void CloseDebugTrace() {
    if (g_traceFile) std::fclose(g_traceFile);
    g_traceFile = nullptr;
}
