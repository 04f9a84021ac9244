#include "operation_guard.h"

#include <atomic>

namespace {

// Which thread runs an operation: the address of a thread-local, unique per
// thread for as long as it lives. Plain values only: a thread-local with a
// destructor would outlive an unloaded library on a thread that goes on.
thread_local char t_identity;
thread_local int t_depth = 0;
thread_local bool t_inLoop = false;
std::atomic<const void*> g_owner{nullptr};

}  // namespace

OperationGuard::OperationGuard() {
    const void* self = &t_identity;
    const void* owner = nullptr;
    if (g_owner.compare_exchange_strong(owner, self)) {
        m_entered = true;
    } else if (owner == self && !t_inLoop) {
        // An operation calling another export of its library.
        m_entered = true;
    }
    if (m_entered) ++t_depth;
}

OperationGuard::~OperationGuard() {
    if (m_entered && --t_depth == 0) g_owner.store(nullptr);
}

MessageLoopScope::MessageLoopScope() : m_outer(!t_inLoop) { t_inLoop = true; }

MessageLoopScope::~MessageLoopScope() {
    if (m_outer) t_inLoop = false;
}
