// The NBioAPI_ functions of NBioBSP.dll. Each forwards to the simulator; the
// captures wait and draw here, between the simulator's two locked halves.
#include "NBioAPI.h"
#include "process_simulator.h"
#include "export_guard.h"
#include "live_capture.h"

using nbiosim::ProcessSimulator;
using nbiosim::Guarded;

extern "C" {

NBioAPI_RETURN NBioAPI_Init(NBioAPI_HANDLE* handle) {
    return Guarded([&] { return ProcessSimulator().Init(handle); });
}

NBioAPI_RETURN NBioAPI_Terminate(NBioAPI_HANDLE handle) {
    return Guarded([&] { return ProcessSimulator().Terminate(handle); });
}

NBioAPI_RETURN NBioAPI_OpenDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device) {
    return Guarded([&] { return ProcessSimulator().OpenDevice(handle, device); });
}

NBioAPI_RETURN NBioAPI_CloseDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device) {
    return Guarded([&] { return ProcessSimulator().CloseDevice(handle, device); });
}

NBioAPI_RETURN NBioAPI_FreeFIRHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir) {
    return Guarded([&] { return ProcessSimulator().FreeFIRHandle(handle, fir); });
}

NBioAPI_RETURN NBioAPI_Capture(NBioAPI_HANDLE handle, uint8_t purpose, NBioAPI_FIR_HANDLE* captured, int32_t timeoutMs,
                               NBioAPI_FIR_HANDLE* auditData, const NBioAPI_WINDOW_OPTION* option) {
    return Guarded([&] {
        nbiosim::Simulator& simulator = ProcessSimulator();
        const nbiosim::CaptureStart start = simulator.BeginCapture(handle, purpose, captured, timeoutMs, option);
        if (start.error != NBioAPIERROR_NONE) return start.error;
        nbiosim::PerformLiveCapture(start.plan, option);
        return simulator.FinishCapture(handle, start.plan, captured, auditData);
    });
}

NBioAPI_RETURN NBioAPI_FreeTextFIR(NBioAPI_HANDLE handle, NBioAPI_FIR_TEXTENCODE* text) {
    return Guarded([&] { return ProcessSimulator().FreeTextFIR(handle, text); });
}

NBioAPI_RETURN NBioAPI_GetExtendedTextFIRFromHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir,
                                                    NBioAPI_FIR_TEXTENCODE* text, int32_t isWide, int32_t format) {
    return Guarded([&] { return ProcessSimulator().GetExtendedTextFIRFromHandle(handle, fir, text, isWide, format); });
}

NBioAPI_RETURN NBioAPI_FreeExportData(NBioAPI_HANDLE handle, NBioAPI_EXPORT_DATA* exported) {
    return Guarded([&] { return ProcessSimulator().FreeExportData(handle, exported); });
}

NBioAPI_RETURN NBioAPI_NBioBSPToFDx(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* fir, NBioAPI_EXPORT_DATA* exported,
                                    int32_t formatType) {
    return Guarded([&] { return ProcessSimulator().NBioBSPToFDx(handle, fir, exported, formatType); });
}

NBioAPI_RETURN NBioAPI_FDxToNBioBSP(NBioAPI_HANDLE handle, const uint8_t* data, uint32_t length, int32_t formatType,
                                    uint8_t purpose, NBioAPI_FIR_HANDLE* fir) {
    return Guarded([&] { return ProcessSimulator().FDxToNBioBSP(handle, data, length, formatType, fir); });
}

NBioAPI_RETURN NBioAPI_Verify(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* stored, NBioAPI_BOOL* result,
                              NBioAPI_FIR_PAYLOAD* payload, int32_t timeoutMs, NBioAPI_FIR_HANDLE* auditData,
                              const NBioAPI_WINDOW_OPTION* option) {
    return Guarded([&] {
        nbiosim::Simulator& simulator = ProcessSimulator();
        const nbiosim::VerifyStart start = simulator.BeginVerify(handle, stored, result, timeoutMs, option);
        if (start.capture.error != NBioAPIERROR_NONE) return start.capture.error;
        nbiosim::PerformLiveCapture(start.capture.plan, option);
        return simulator.FinishVerify(handle, start, stored, result, payload, auditData);
    });
}

NBioAPI_RETURN NBioAPI_VerifyMatch(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* first,
                                   const NBioAPI_INPUT_FIR* second, NBioAPI_BOOL* result,
                                   NBioAPI_FIR_PAYLOAD* payload) {
    return Guarded([&] { return ProcessSimulator().VerifyMatch(handle, first, second, result, payload); });
}

}  // extern "C"
