// The control interface of the stand-in (NBioSim.h): how tests and the demo
// script the simulated reader.
#include "NBioSim.h"
#include "process_simulator.h"
#include "export_guard.h"

using nbiosim::ProcessSimulator;
using nbiosim::GuardedOr;

extern "C" {

int32_t NBioSim_Configure(const char* script) {
    return GuardedOr(int32_t{-1}, [&] { return ProcessSimulator().Configure(script); });
}

void NBioSim_Reset(void) {
    GuardedOr(0, [] {
        const std::optional<std::string> script = nbiosim::EnvironmentScript();
        ProcessSimulator().Reset(script ? script->c_str() : nullptr);
        return 0;
    });
}

void NBioSim_GetCounters(NBioSimCounters* counters) {
    simsdk::GuardedCopy(counters, [] { return ProcessSimulator().Counters(); });
}

int32_t NBioSim_CallCount(const char* functionName) {
    return GuardedOr(int32_t{0}, [&] { return ProcessSimulator().CallCount(functionName); });
}

int32_t NBioSim_LastInputText(int32_t which, char* out, int32_t outSize) {
    return GuardedOr(int32_t{0}, [&] { return ProcessSimulator().LastInputText(which, out, outSize); });
}

void NBioSim_GetLastCall(NBioSimLastCall* last) {
    simsdk::GuardedCopy(last, [] { return ProcessSimulator().LastCall(); });
}

}  // extern "C"
