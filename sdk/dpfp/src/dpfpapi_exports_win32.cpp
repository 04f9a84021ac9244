// The functions of DPFPApi.dll, exported by dpfpsim.dll under a "Sim_" name;
// DPFPApi.def forwards the SDK's names here. Declared with the types of the
// SDK header, so that a definition that strays from it does not compile.
#include "DPFPApi.h"
#include "dll_simulator_win32.h"
#include "simsdk/export_guard.h"

using dpfpsim::DllSimulator;
using dpfpsim::kApiUnexpected;
using simsdk::GuardedOr;

extern "C" {

decltype(DPFPInit) Sim_DPFPInit;
decltype(DPFPTerm) Sim_DPFPTerm;
decltype(DPFPEnumerateDevices) Sim_DPFPEnumerateDevices;
decltype(DPFPGetDeviceInfo) Sim_DPFPGetDeviceInfo;
decltype(DPFPCreateAcquisition) Sim_DPFPCreateAcquisition;
decltype(DPFPStartAcquisition) Sim_DPFPStartAcquisition;
decltype(DPFPConvertSampleToBitmap) Sim_DPFPConvertSampleToBitmap;

DPFP_RESULT Sim_DPFPInit(void) {
    return GuardedOr(kApiUnexpected, [] { return DllSimulator().Init(); });
}

void Sim_DPFPTerm(void) {
    GuardedOr(0, [] {
        DllSimulator().Term();
        return 0;
    });
}

DPFP_RESULT Sim_DPFPEnumerateDevices(uint32_t* count, DPFP_READER_ID** readers) {
    return GuardedOr(kApiUnexpected, [&] { return DllSimulator().EnumerateDevices(count, readers); });
}

DPFP_RESULT Sim_DPFPGetDeviceInfo(const DPFP_READER_ID* reader, DPFP_DEVICE_INFO* info) {
    return GuardedOr(kApiUnexpected, [&] { return DllSimulator().GetDeviceInfo(reader, info); });
}

DPFP_RESULT Sim_DPFPCreateAcquisition(int32_t priority, const DPFP_READER_ID* reader, uint32_t dataTypes, void* window,
                                      uint32_t message, DPFP_ACQUISITION* acquisition) {
    return GuardedOr(kApiUnexpected, [&] {
        return DllSimulator().CreateAcquisition(priority, reader, dataTypes, window, message, acquisition);
    });
}

DPFP_RESULT Sim_DPFPStartAcquisition(DPFP_ACQUISITION acquisition) {
    return GuardedOr(kApiUnexpected, [&] { return DllSimulator().StartAcquisition(acquisition); });
}

DPFP_RESULT Sim_DPFPConvertSampleToBitmap(const DPFP_SAMPLE* sample, uint8_t* buffer, uint32_t* size) {
    return GuardedOr(kApiUnexpected, [&] { return DllSimulator().ConvertSampleToBitmap(sample, buffer, size); });
}

}  // extern "C"
