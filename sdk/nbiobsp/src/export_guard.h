// Nothing may escape an exported function: every export runs its body
// through one of these, which turn an exception into the interface's answer.
#pragma once

#include <utility>

#include "simsdk/export_guard.h"
#include "simulator.h"

namespace nbiosim {

using simsdk::GuardedOr;

template <typename Body>
NBioAPI_RETURN Guarded(Body&& body) noexcept {
    return GuardedOr(kErrorInternal, std::forward<Body>(body));
}

}  // namespace nbiosim
