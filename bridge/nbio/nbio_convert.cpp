// FK_Convert: FDx data <-> SDK FIR with the instance that FK_Init opened.
#include "failure.h"
#include "fpbridge_nbio.h"
#include "nbio_connection.h"
#include "nbio_sdk_records.h"
#include "operation_guard.h"

namespace {

intptr_t Convert(int32_t direction, void* data, int32_t* size, int32_t formatType) {
    const NBioAPI_HANDLE sdk = NbioSdkHandle();
    if (direction == 1) {
        if (!size || *size < 0) return 0;
        NBioAPI_FIR_HANDLE fir = 0;
        if (NBioAPI_FDxToNBioBSP(sdk, static_cast<const uint8_t*>(data), static_cast<uint32_t>(*size), formatType,
                                 NBioAPI_FIR_PURPOSE_VERIFY, &fir) != NBioAPIERROR_NONE) {
            return 0;
        }
        return static_cast<intptr_t>(fir);
    }
    NBioAPI_EXPORT_DATA* exported = NbioConvertedExport();
    NBioAPI_FreeExportData(sdk, exported);
    *exported = NBioAPI_EXPORT_DATA{};
    NBioAPI_INPUT_FIR input = HandleInput(static_cast<NBioAPI_FIR_HANDLE*>(data));
    if (NBioAPI_NBioBSPToFDx(sdk, &input, exported, formatType) != NBioAPIERROR_NONE) return 0;
    const NBioAPI_TEMPLATE_DATA* sample = FirstSample(*exported);
    if (!sample) return 0;
    if (size) *size = static_cast<int32_t>(sample->Length);
    return reinterpret_cast<intptr_t>(sample->Data);
}

}  // namespace

extern "C" intptr_t FK_Convert(int32_t direction, void* data, int32_t* size, int32_t formatType) {
    return CatchAll(intptr_t{0}, [&] {
        const OperationGuard guard;
        return guard.entered() ? Convert(direction, data, size, formatType) : 0;
    });
}
