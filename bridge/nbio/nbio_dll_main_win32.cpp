// Entry point of fpbridge_nbio.dll. The NITGEN bridge releases its process-wide
// resources when it is unloaded; its JNI natives write no log records.
#include "fpbridge_nbio.h"
#include "library_setup.h"
#include "nbio_connection.h"
#include "nbio_window_win32.h"

namespace {

int32_t InitWithFreshTask(uint8_t mode, BioStatus* status) {
    BioTask task{};
    task.status = status;
    return FK_Init(mode, &task);
}

const BridgeTraits kNbioTraits = {
    kNbioModuleName,
    true,
    NbioCaptureWindowProc,
    {{InitWithFreshTask, FK_Close, FK_SetAuthType, FK_Capture, FK_VerifyServer, FK_Verify, FK_VerifyMatch}, false},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    return BridgeDllMain(module, reason, kNbioTraits);
}
