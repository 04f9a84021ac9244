// Process-wide set-up of a bridge library, run from its DllMain, and the values
// it makes. Each bridge hands the core its traits; the core knows nothing else
// of the bridges.
#pragma once

#include <windows.h>

#include <string>

#include "client_faces.h"

struct BridgeTraits {
    // The library's own file name, written into the module name buffer by its
    // operations ("fpbridge_nbio.dll").
    const char* moduleName;
    // Whether unloading releases the process-wide buffers, the trace file and
    // the brush; one bridge keeps them until the process ends.
    bool releaseAtUnload;
    // Procedure of the library's capture window class.
    WNDPROC windowProcedure;
    // The library's operations as its JNI natives and ExecInClientDLL reach them.
    ClientFaceTraits faces;
};

// The whole of a bridge library's DllMain: set-up at process attach, unload at
// process detach.
BOOL BridgeDllMain(HINSTANCE module, DWORD reason, const BridgeTraits& traits);

// The operation log's file: the user's profile folder + "\kavro_biometria.log",
// or the bare name (current directory) when the shell has no profile folder.
std::string OperationLogPath();
