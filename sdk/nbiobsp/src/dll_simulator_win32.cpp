#include "dll_simulator_win32.h"

#include <windows.h>

namespace nbiosim {
namespace {

constexpr char kScriptVariable[] = "NBIOSIM_SCRIPT";

}  // namespace

std::optional<std::string> EnvironmentScript() {
    // GetEnvironmentVariableA, not getenv: the C runtime's copy of the
    // environment does not see variables a test sets after start-up.
    const DWORD needed = GetEnvironmentVariableA(kScriptVariable, nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::string value(needed, '\0');
    const DWORD written = GetEnvironmentVariableA(kScriptVariable, value.data(), needed);
    if (written == 0 || written >= needed) return std::nullopt;
    value.resize(written);
    return value;
}

Simulator& DllSimulator() {
    // Made on first use rather than from DllMain, where allocating and parsing
    // have no business; the first call of a process comes before any scripting.
    static Simulator simulator([] {
        const std::optional<std::string> script = EnvironmentScript();
        return script ? *script : std::string();
    }()
                                   .c_str());
    return simulator;
}

}  // namespace nbiosim
