#include <windows.h>

#include "process_simulator.h"

namespace dpfpsim {
namespace {

// How long an event handed over at once waits for a window that does not take
// it: a window whose thread runs no message loop must not hold the caller for ever.
constexpr UINT kSendTimeoutMs = 10000;

bool PostToWindow(const PostedEvent& event) {
    const auto window = static_cast<HWND>(event.window);
    const auto wParam = static_cast<WPARAM>(event.kind);
    const auto lParam = static_cast<LPARAM>(event.data);
    if (event.waitForWindow) {
        return SendMessageTimeoutA(window, event.message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, nullptr) != 0;
    }
    return PostMessageA(window, event.message, wParam, lParam) != FALSE;
}

// Keeps this library loaded until the process ends: an acquisition thread
// that a caller never ended with DPFPTerm must not find its code unmapped when
// the last library that imported us is unloaded.
void PinThisLibrary() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&PostToWindow), &self);
}

}  // namespace

Simulator& ProcessSimulator() {
    // Made on first use rather than from DllMain, where allocating, parsing and
    // pinning have no business. Never destroyed: at process exit the system has
    // already ended the acquisition threads, possibly inside the simulator's
    // lock, so joining them or taking the lock there could hang the exit.
    static Simulator* const simulator = [] {
        PinThisLibrary();
        const std::optional<std::string> script = EnvironmentScript();
        return new Simulator(script ? script->c_str() : nullptr, PostToWindow);
    }();
    return *simulator;
}

}  // namespace dpfpsim
