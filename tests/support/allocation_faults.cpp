#include "allocation_faults.h"

#include <atomic>
#include <cstddef>

namespace {

using Malloc = void*(__cdecl*)(size_t);
using Calloc = void*(__cdecl*)(size_t, size_t);
using Realloc = void*(__cdecl*)(void*, size_t);
using Free = void(__cdecl*)(void*);

Malloc g_malloc = nullptr;
Calloc g_calloc = nullptr;
Realloc g_realloc = nullptr;
Free g_free = nullptr;
std::atomic<long> g_held{0};
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

void* Held(void* block) {
    if (block) ++g_held;
    return block;
}

void* __cdecl CountedMalloc(size_t size) { return FailsNow() ? nullptr : Held(g_malloc(size)); }
void* __cdecl CountedCalloc(size_t count, size_t size) { return FailsNow() ? nullptr : Held(g_calloc(count, size)); }
void* __cdecl CountedRealloc(void* block, size_t size) {
    if (size == 0) {
        // Frees the block.
        if (block) --g_held;
        return g_realloc(block, size);
    }
    if (FailsNow()) return nullptr;
    void* moved = g_realloc(block, size);
    return block ? moved : Held(moved);
}
void __cdecl CountedFree(void* block) {
    if (block) --g_held;
    g_free(block);
}

}  // namespace

AllocationFaults::AllocationFaults(HMODULE library) {
    failAt(0);
    m_malloc = std::make_unique<ImportPatch>(library, "msvcrt.dll", "malloc", reinterpret_cast<void*>(CountedMalloc));
    m_calloc = std::make_unique<ImportPatch>(library, "msvcrt.dll", "calloc", reinterpret_cast<void*>(CountedCalloc));
    m_realloc =
        std::make_unique<ImportPatch>(library, "msvcrt.dll", "realloc", reinterpret_cast<void*>(CountedRealloc));
    m_free = std::make_unique<ImportPatch>(library, "msvcrt.dll", "free", reinterpret_cast<void*>(CountedFree));
    g_malloc = reinterpret_cast<Malloc>(m_malloc->original());
    g_calloc = reinterpret_cast<Calloc>(m_calloc->original());
    g_realloc = reinterpret_cast<Realloc>(m_realloc->original());
    g_free = reinterpret_cast<Free>(m_free->original());
    g_held = 0;
}

AllocationFaults::~AllocationFaults() { failAt(0); }

bool AllocationFaults::applied() const {
    return m_malloc->applied() && m_calloc->applied() && m_realloc->applied() && m_free->applied();
}

void AllocationFaults::failAt(long n) {
    g_failAt = 0;
    g_counted = 0;
    g_failed = false;
    g_failAt = n;
}

long AllocationFaults::counted() const { return g_counted.load(); }

bool AllocationFaults::failed() const { return g_failed.load(); }

long AllocationFaults::held() const { return g_held.load(); }
