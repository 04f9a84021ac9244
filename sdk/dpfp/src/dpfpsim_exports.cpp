// The control interface of the stand-in (DPFPSim.h): how tests and the demo
// script the simulated reader.
#include "DPFPSim.h"
#include "process_simulator.h"
#include "simsdk/export_guard.h"

using dpfpsim::ProcessSimulator;
using simsdk::GuardedOr;

extern "C" {

int32_t DPFPSim_Configure(const char* script) {
    return GuardedOr(int32_t{-1}, [&] { return ProcessSimulator().Configure(script); });
}

void DPFPSim_Reset(void) {
    GuardedOr(0, [] {
        const std::optional<std::string> script = dpfpsim::EnvironmentScript();
        ProcessSimulator().Reset(script ? script->c_str() : nullptr);
        return 0;
    });
}

void DPFPSim_GetCounters(DPFPSimCounters* counters) {
    simsdk::GuardedCopy(counters, [] { return ProcessSimulator().Counters(); });
}

int32_t DPFPSim_CallCount(const char* functionName) {
    return GuardedOr(int32_t{0}, [&] { return ProcessSimulator().CallCount(functionName); });
}

void DPFPSim_GetLastCall(DPFPSimLastCall* last) {
    simsdk::GuardedCopy(last, [] { return ProcessSimulator().LastCall(); });
}

int32_t DPFPSim_MakeFeatures(int32_t finger, int32_t registration, uint8_t* out, int32_t outSize) {
    return GuardedOr(int32_t{0}, [&] { return ProcessSimulator().MakeFeatures(finger, registration, out, outSize); });
}

}  // extern "C"
