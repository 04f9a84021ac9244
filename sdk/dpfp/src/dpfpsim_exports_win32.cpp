// The control interface of the stand-in (DPFPSim.h): how tests and the demo
// script the simulated reader.
#include "DPFPSim.h"
#include "dll_simulator_win32.h"
#include "simsdk/export_guard.h"

using dpfpsim::DllSimulator;
using simsdk::GuardedOr;

extern "C" {

int32_t DPFPSim_Configure(const char* script) {
    return GuardedOr(int32_t{-1}, [&] { return DllSimulator().Configure(script); });
}

void DPFPSim_Reset(void) {
    GuardedOr(0, [] {
        const std::optional<std::string> script = dpfpsim::EnvironmentScript();
        DllSimulator().Reset(script ? script->c_str() : nullptr);
        return 0;
    });
}

void DPFPSim_GetCounters(DPFPSimCounters* counters) {
    simsdk::GuardedCopy(counters, [] { return DllSimulator().Counters(); });
}

int32_t DPFPSim_CallCount(const char* functionName) {
    return GuardedOr(int32_t{0}, [&] { return DllSimulator().CallCount(functionName); });
}

void DPFPSim_GetLastCall(DPFPSimLastCall* last) {
    simsdk::GuardedCopy(last, [] { return DllSimulator().LastCall(); });
}

int32_t DPFPSim_MakeFeatures(int32_t finger, int32_t registration, uint8_t* out, int32_t outSize) {
    return GuardedOr(int32_t{0}, [&] { return DllSimulator().MakeFeatures(finger, registration, out, outSize); });
}

}  // extern "C"
