#include "agent_win32.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool runCommand(const char* command) {
    // The interpreter's children write to the same console; what we printed
    // must come out before what they print.
    std::fflush(stdout);
    std::fflush(stderr);
    return std::system(command) == 0;
}

}  // namespace

bool stopAgent() {
    return runCommand("taskkill /f /im quorvelant.exe");
}

bool startAgent() {
    return runCommand("start /b quorvelant");
}
