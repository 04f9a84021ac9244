// Time to window: from the call of FK_Capture to the capture window being
// visible and the SDK's capture (NITGEN) or acquisition (DigitalPersona) being
// started, for both libraries over their simulated readers. A watcher thread
// looks for both while the capture runs. Prints figures; judges nothing.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "DPFPSim.h"
#include "NBioSim.h"
#include "bench_timing.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Library {
    const char* file;
    const char* script;          // a short capture
    int32_t (*configure)(const char*);
    void (*reset)();
    int32_t (*calls)(const char*);
    const char* sdkStart;        // the call that starts the reader
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One capture: the time until the window shows and until the SDK starts.
std::pair<double, double> TimeOneCapture(const Library& library, HMODULE module) {
    library.reset();
    library.configure(library.script);
    using Capture = char* (*)(const char*, int32_t);
    const auto capture = reinterpret_cast<Capture>(reinterpret_cast<void*>(GetProcAddress(module, "FK_Capture")));
    std::atomic<bool> done{false};
    Clock::time_point window{}, started{};
    const Clock::time_point begin = Clock::now();
    std::thread watcher([&] {
        while (!done && (window == Clock::time_point{} || started == Clock::time_point{})) {
            HWND frame = FindWindowA("BioProc", "KAVRO - Biometria");
            if (window == Clock::time_point{} && frame && IsWindowVisible(frame)) window = Clock::now();
            if (started == Clock::time_point{} && library.calls(library.sdkStart) > 0) started = Clock::now();
        }
    });
    std::free(capture(nullptr, 1));
    done = true;
    watcher.join();
    return {Milliseconds(window - begin), Milliseconds(started - begin)};
}

void Measure(const Library& library, const char* figure, int runs) {
    HMODULE module = LoadLibraryA(library.file);
    if (!module) {
        std::printf("%s: cannot load (error %lu)\n", library.file, GetLastError());
        return;
    }
    const auto first = TimeOneCapture(library, module);
    std::vector<double> total;
    for (int i = 0; i < runs; ++i) {
        const auto [window, started] = TimeOneCapture(library, module);
        total.push_back(std::max(window, started));
    }
    std::sort(total.begin(), total.end());
    std::printf("%s: first capture %.1f ms (window %.1f, SDK %.1f); next %d: median %.1f ms, max %.1f ms\n",
                library.file, std::max(first.first, first.second), first.first, first.second, runs,
                total[total.size() / 2], total.back());
    PrintFigure(figure, total[total.size() / 2]);
    FreeLibrary(module);
}

}  // namespace

int main() {
    constexpr int kRuns = 20;
    Measure({"fpbridge_nbio.dll", "delay=150", NBioSim_Configure, NBioSim_Reset, NBioSim_CallCount, "NBioAPI_Capture"},
            "nbio_time_to_window_ms", kRuns);
    Measure({"fpbridge_dpfp.dll", "needed=1;events=sample@150,hold", DPFPSim_Configure, DPFPSim_Reset,
             DPFPSim_CallCount, "DPFPStartAcquisition"},
            "dpfp_time_to_window_ms", kRuns);
    return 0;
}
