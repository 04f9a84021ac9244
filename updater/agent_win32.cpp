#include "agent_win32.h"

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <cstdio>
#include <cstdlib>

#include "unique_handles_win32.h"

namespace {

constexpr char kAgentImage[] = "quorvelant.exe";

bool runCommand(const char* command) {
    // The interpreter's children write to the same console; what we printed
    // must come out before what they print.
    std::fflush(stdout);
    std::fflush(stderr);
    return std::system(command) == 0;
}

// Whether a process of the agent's image name still runs.
bool agentRunning() {
    win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (_stricmp(entry.szExeFile, kAgentImage) == 0) return true;
    }
    return false;
}

}  // namespace

bool stopAgent() {
    return runCommand("taskkill /f /im quorvelant.exe");
}

bool waitForAgentToEnd(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (agentRunning()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(100);
    }
    return true;
}

bool startAgent() {
    return runCommand("start /b quorvelant");
}
