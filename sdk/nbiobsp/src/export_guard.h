// Nothing may escape an exported function: every export runs its body
// through one of these, which turn an exception into the interface's answer.
#pragma once

#include "simulator.h"

namespace nbiosim {

template <typename Body>
NBioAPI_RETURN Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return kErrorInternal;
    }
}

template <typename Body, typename Result>
Result GuardedOr(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace nbiosim
