#include "failure.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

namespace {

// Never freed: it is either kept aside or handed to a caller, who frees it.
std::atomic<char*> g_reserve{nullptr};

char* NewBuffer() { return static_cast<char*>(std::calloc(kFailureTextMaxSize, 1)); }

}  // namespace

const Failure& CaughtFailure() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kFailedUnexpectedly;
    }
}

char* FailureText(const char* message, size_t size) noexcept {
    if (size > kFailureTextMaxSize) size = kFailureTextMaxSize;
    char* text = static_cast<char*>(std::calloc(size, 1));
    if (text) {
        // Memory is there again: keep a buffer aside for the next time it is not.
        if (!g_reserve.load()) ReserveFailureText();
    } else {
        text = g_reserve.exchange(nullptr);
        if (!text) return nullptr;
        std::memset(text, 0, kFailureTextMaxSize);
    }
    if (size > 0) std::strncpy(text, message ? message : "", size - 1);
    return text;
}

void ReserveFailureText() noexcept {
    char* buffer = NewBuffer();
    char* expected = nullptr;
    if (buffer && !g_reserve.compare_exchange_strong(expected, buffer)) std::free(buffer);
}

void FailInside(BioStatus* status) noexcept {
    if (&CaughtFailure() == &kOutOfMemory) {
        Fail<kOutOfMemory>(status);
    } else {
        Fail<kFailedUnexpectedly>(status);
    }
    if (status) status->matched = false;
}

void FailWithoutStatus(int32_t operation, BioStatus* out) noexcept {
    if (!out) return;
    out->operation = operation;
    out->success = false;
    out->matched = false;
    out->error = kOutOfMemory.code;
}
