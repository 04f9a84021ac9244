#include "allocation_faults.h"

#include <atomic>
#include <cstddef>

namespace {

using Malloc = void*(__cdecl*)(size_t);
using Calloc = void*(__cdecl*)(size_t, size_t);
using Realloc = void*(__cdecl*)(void*, size_t);

Malloc g_malloc = nullptr;
Calloc g_calloc = nullptr;
Realloc g_realloc = nullptr;
std::atomic<long> g_counted{0};
std::atomic<long> g_failAt{0};
std::atomic<bool> g_failed{false};

// Whether the allocation being made now is the one to fail.
bool FailsNow() {
    const long n = ++g_counted;
    if (n != g_failAt.load()) return false;
    g_failed = true;
    return true;
}

void* __cdecl CountedMalloc(size_t size) { return FailsNow() ? nullptr : g_malloc(size); }
void* __cdecl CountedCalloc(size_t count, size_t size) { return FailsNow() ? nullptr : g_calloc(count, size); }
void* __cdecl CountedRealloc(void* block, size_t size) {
    // Shrinking and freeing through realloc allocate nothing.
    return size != 0 && FailsNow() ? nullptr : g_realloc(block, size);
}

}  // namespace

AllocationFaults::AllocationFaults(HMODULE library) {
    failAt(0);
    m_malloc = std::make_unique<ImportPatch>(library, "msvcrt.dll", "malloc", reinterpret_cast<void*>(CountedMalloc));
    m_calloc = std::make_unique<ImportPatch>(library, "msvcrt.dll", "calloc", reinterpret_cast<void*>(CountedCalloc));
    m_realloc =
        std::make_unique<ImportPatch>(library, "msvcrt.dll", "realloc", reinterpret_cast<void*>(CountedRealloc));
    g_malloc = reinterpret_cast<Malloc>(m_malloc->original());
    g_calloc = reinterpret_cast<Calloc>(m_calloc->original());
    g_realloc = reinterpret_cast<Realloc>(m_realloc->original());
}

AllocationFaults::~AllocationFaults() { failAt(0); }

bool AllocationFaults::applied() const { return m_malloc->applied() && m_calloc->applied() && m_realloc->applied(); }

void AllocationFaults::failAt(long n) {
    g_failAt = 0;
    g_counted = 0;
    g_failed = false;
    g_failAt = n;
}

long AllocationFaults::counted() const { return g_counted.load(); }

bool AllocationFaults::failed() const { return g_failed.load(); }
