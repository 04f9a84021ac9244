#include "process_simulator.h"

namespace dpfpsim {

Simulator& ProcessSimulator() {
    // No window here takes an acquisition's events: each one is refused, as
    // a window that is gone refuses it.
    static Simulator simulator(
        [] {
            const std::optional<std::string> script = EnvironmentScript();
            return script ? *script : std::string();
        }()
            .c_str(),
        [](const PostedEvent&) { return false; });
    return simulator;
}

}  // namespace dpfpsim
