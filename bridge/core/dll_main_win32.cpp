// Entry point of both bridge libraries: load-time set-up and unload.
#include <windows.h>

#include "library_setup.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        BridgeAttach();
    } else if (reason == DLL_PROCESS_DETACH) {
        BridgeDetach();
    }
    return TRUE;
}
