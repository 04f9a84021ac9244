// Runs one program with its arguments in the current directory and prints its
// wall time, exit code and peak memory, as Windows reports them for it:
//   run_measured <program> [arguments...]
// Used by scripts/bench-updater.sh to measure quorvelant_updater.exe.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <chrono>
#include <cstdio>
#include <string>

#include "unique_handles_win32.h"

namespace {

std::wstring quote(const wchar_t* arg) {
    const std::wstring text(arg);
    if (!text.empty() && text.find_first_of(L" \t\"") == std::wstring::npos) return text;
    return L"\"" + text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    try {
        if (argc < 2) {
            std::fprintf(stderr, "usage: run_measured <program> [arguments...]\n");
            return 2;
        }
        std::wstring commandLine = quote(argv[1]);
        for (int i = 2; i < argc; ++i) commandLine += L" " + quote(argv[i]);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const auto start = std::chrono::steady_clock::now();
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::fprintf(stderr, "CreateProcess(): %lu.\n", GetLastError());
            return 2;
        }
        win32::UniqueKernelHandle processHandle(process.hProcess);
        win32::UniqueKernelHandle threadHandle(process.hThread);
        // Wine answers memory queries only while the process lives, so the
        // peaks are sampled until it ends.
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        SIZE_T peakWorkingSet = 0;
        SIZE_T peakPrivate = 0;
        do {
            if (GetProcessMemoryInfo(processHandle.get(), &counters, sizeof counters)) {
                if (counters.PeakWorkingSetSize > peakWorkingSet) peakWorkingSet = counters.PeakWorkingSetSize;
                if (counters.PeakPagefileUsage > peakPrivate) peakPrivate = counters.PeakPagefileUsage;
            }
        } while (WaitForSingleObject(processHandle.get(), 10) == WAIT_TIMEOUT);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        DWORD exitCode = 0;
        GetExitCodeProcess(processHandle.get(), &exitCode);
        std::printf("seconds=%.3f exit=%ld peak_working_set_mb=%.1f peak_private_mb=%.1f\n", seconds,
                    static_cast<long>(exitCode), peakWorkingSet / 1048576.0, peakPrivate / 1048576.0);
        return 0;
    } catch (...) {
        std::fprintf(stderr, "run_measured failed\n");
        return 2;
    }
}
