#include "process_simulator.h"

#include "simsdk/environment.h"

namespace dpfpsim {

std::optional<std::string> EnvironmentScript() {
    return simsdk::EnvironmentVariable("DPFPSIM_SCRIPT");
}

}  // namespace dpfpsim
