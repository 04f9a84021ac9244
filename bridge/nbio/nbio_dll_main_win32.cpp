// Entry point of fpbridge_nbio.dll. The NITGEN bridge releases its process-wide
// resources when it is unloaded.
#include "library_setup.h"
#include "nbio_connection.h"
#include "nbio_window_win32.h"

namespace {
const BridgeTraits kNbioTraits = {kNbioModuleName, true, NbioCaptureWindowProc};
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    return BridgeDllMain(module, reason, kNbioTraits);
}
