#include "module_name.h"

#include <cstdlib>

namespace {
char* g_moduleName = nullptr;
}

char* ModuleNameBuffer() {
    return g_moduleName;
}

void AllocateModuleName() {
    if (!g_moduleName) g_moduleName = static_cast<char*>(std::calloc(kModuleNameSize, 1));
}

void ReleaseModuleName() {
    std::free(g_moduleName);
    g_moduleName = nullptr;
}
