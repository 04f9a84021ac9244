// Points one import of a loaded module at another function while this lives:
// the module's own calls of it reach the replacement, nothing else changes.
// The tests' way to see and steer what a library asks of the system (its
// allocations, its shell lookups) without a line of the library changed.
#pragma once

#include <windows.h>

class ImportPatch {
public:
    // `dll` and `function` as the module imports them ("msvcrt.dll", "malloc").
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    // Puts the original back; the module must still be loaded.
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the module does not import the function.
    bool applied() const { return m_slot != nullptr; }
    void* original() const { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};
