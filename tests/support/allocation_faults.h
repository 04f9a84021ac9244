// Fails one allocation of a library on purpose, to see it cope, and counts the
// blocks it holds, to see it free them: the library's imports of the C
// runtime's malloc, calloc, realloc and free count its allocations (from every
// thread, its operator new included) and fail the one numbered by failAt().
// Only one may live at a time.
#pragma once

#include <windows.h>

#include <memory>

#include "import_patch.h"

class AllocationFaults {
public:
    explicit AllocationFaults(HMODULE library);
    ~AllocationFaults();
    AllocationFaults(const AllocationFaults&) = delete;
    AllocationFaults& operator=(const AllocationFaults&) = delete;

    bool applied() const;
    // Counts allocations afresh; the n-th from now fails, later ones succeed
    // (0: none fails).
    void failAt(long n);
    // Allocations since the last failAt().
    long counted() const;
    // Whether the allocation meant to fail was reached.
    bool failed() const;
    // Blocks the library allocated and did not free while this lived.
    long held() const;

private:
    std::unique_ptr<ImportPatch> m_malloc, m_calloc, m_realloc, m_free;
};
