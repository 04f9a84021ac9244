// Entry point of fpbridge_dpfp.dll. The DigitalPersona bridge keeps its
// process-wide resources until the process ends.
#include "dpfp_acquisition.h"
#include "dpfp_session.h"
#include "library_setup.h"

namespace {
const BridgeTraits kDpfpTraits = {kDpfpModuleName, false, BioProc};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    return BridgeDllMain(module, reason, kDpfpTraits);
}
