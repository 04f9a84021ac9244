// Nothing may escape an exported function: every export of a simulated SDK
// runs its body through this, which turns an exception into the interface's
// answer for an internal failure.
#pragma once

namespace simsdk {

template <typename Body, typename Result>
Result GuardedOr(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// For the exports that fill a caller's record: nothing when `out` is null,
// otherwise `read()`'s value, or a zeroed record when it throws.
template <typename Record, typename Read>
void GuardedCopy(Record* out, Read&& read) noexcept {
    if (out == nullptr) return;
    *out = Record{};
    try {
        *out = read();
    } catch (...) {
        *out = Record{};
    }
}

}  // namespace simsdk
