// Entry point of fpbridge_dpfp.dll. The DigitalPersona bridge keeps its
// process-wide resources until the process ends; its JNI natives log their
// begin and end and the Java version.
#include "dpfp_acquisition.h"
#include "dpfp_session.h"
#include "dpfp_task.h"
#include "fpbridge_dpfp.h"
#include "library_setup.h"

namespace {

int32_t InitWithFreshTask(uint8_t mode, BioStatus* status) {
    BioTask task(0, nullptr, status);
    return FK_Init(mode, &task);
}

// This bridge's FK_Close takes no flag.
int32_t CloseIgnoringFlag(int32_t) {
    return FK_Close();
}

const BridgeTraits kDpfpTraits = {
    kDpfpModuleName,
    false,
    BioProc,
    {{InitWithFreshTask, CloseIgnoringFlag, FK_SetAuthType, FK_Capture, FK_VerifyServer, FK_Verify, FK_VerifyMatch},
     true},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    return BridgeDllMain(module, reason, kDpfpTraits);
}
