// Process-wide set-up of a bridge library, run from DllMain, and the values it
// makes. Each bridge supplies its BridgeTraits.
#pragma once

#include <windows.h>

#include <string>

constexpr int kModuleNameSize = 64;

struct BridgeTraits {
    // Whether unloading releases the process-wide resources; one bridge keeps
    // them until the process ends.
    bool releaseAtUnload;
    // Procedure of the capture window class registered at load; null registers none.
    WNDPROC windowProcedure;
};

// Defined by each bridge library.
extern const BridgeTraits kBridgeTraits;

// The 64-byte module name buffer; operations write the library's file name into it.
char* ModuleNameBuffer();

// The operation log's file: the user's profile folder + "\kavro_biometria.log",
// or the bare name (current directory) when the shell has no profile folder.
std::string OperationLogPath();

void BridgeAttach();
void BridgeDetach();
