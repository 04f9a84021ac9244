// Stand-in for the agent, installed as quorvelant.exe in test installation
// folders: it records each start (its process id, one line in
// "agent.starts"), holds "agent.dll" open without sharing when there is one
// (as a running program holds its libraries), and then idles until
// "agent.stop" appears or a minute has passed, so that a forgotten instance
// still ends by itself.
#include <windows.h>

#include <cstdio>

int main() {
    if (std::FILE* starts = std::fopen("agent.starts", "a")) {
        std::fprintf(starts, "%lu\n", GetCurrentProcessId());
        std::fclose(starts);
    }
    // Released by the system when the process ends, however it ends.
    CreateFileA("agent.dll", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    for (int tick = 0; tick < 600; ++tick) {
        if (GetFileAttributesA("agent.stop") != INVALID_FILE_ATTRIBUTES) return 0;
        Sleep(100);
    }
    return 0;
}
