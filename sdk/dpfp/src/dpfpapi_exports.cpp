// The functions of DPFPApi.dll over the process's simulator. On Windows
// dpfpsim.dll exports them and our DPFPApi.dll forwards the SDK's names here.
// Defined against the SDK header's declarations, so that a definition that
// strays from it does not compile.
#include "DPFPApi.h"
#include "process_simulator.h"
#include "simsdk/export_guard.h"

using dpfpsim::ProcessSimulator;
using dpfpsim::kApiUnexpected;
using simsdk::GuardedOr;

extern "C" {

DPFP_RESULT DPFPInit(void) {
    return GuardedOr(kApiUnexpected, [] { return ProcessSimulator().Init(); });
}

void DPFPTerm(void) {
    GuardedOr(0, [] {
        ProcessSimulator().Term();
        return 0;
    });
}

DPFP_RESULT DPFPEnumerateDevices(uint32_t* count, DPFP_READER_ID** readers) {
    return GuardedOr(kApiUnexpected, [&] { return ProcessSimulator().EnumerateDevices(count, readers); });
}

DPFP_RESULT DPFPGetDeviceInfo(const DPFP_READER_ID* reader, DPFP_DEVICE_INFO* info) {
    return GuardedOr(kApiUnexpected, [&] { return ProcessSimulator().GetDeviceInfo(reader, info); });
}

DPFP_RESULT DPFPCreateAcquisition(int32_t priority, const DPFP_READER_ID* reader, uint32_t dataTypes, void* window,
                                      uint32_t message, DPFP_ACQUISITION* acquisition) {
    return GuardedOr(kApiUnexpected, [&] {
        return ProcessSimulator().CreateAcquisition(priority, reader, dataTypes, window, message, acquisition);
    });
}

DPFP_RESULT DPFPStartAcquisition(DPFP_ACQUISITION acquisition) {
    return GuardedOr(kApiUnexpected, [&] { return ProcessSimulator().StartAcquisition(acquisition); });
}

DPFP_RESULT DPFPConvertSampleToBitmap(const DPFP_SAMPLE* sample, uint8_t* buffer, uint32_t* size) {
    return GuardedOr(kApiUnexpected, [&] { return ProcessSimulator().ConvertSampleToBitmap(sample, buffer, size); });
}

}  // extern "C"
