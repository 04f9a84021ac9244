#include "process_simulator.h"

#include "simsdk/environment.h"

namespace nbiosim {

std::optional<std::string> EnvironmentScript() {
    return simsdk::EnvironmentVariable("NBIOSIM_SCRIPT");
}

Simulator& ProcessSimulator() {
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
