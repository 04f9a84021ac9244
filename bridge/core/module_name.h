// The module name buffer: 64 bytes made when the library is loaded, into which
// every operation writes the library's file name. Null before the library is
// loaded, or once it was released.
#pragma once

constexpr int kModuleNameSize = 64;

char* ModuleNameBuffer();
// Load and unload steps. Allocating again keeps the buffer there is.
void AllocateModuleName();
void ReleaseModuleName();
