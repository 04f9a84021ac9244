#include "operation_guard.h"

#include <atomic>

#include "plog/Record.h"
#include "plog/ThreadValue.h"

namespace {

// Which thread runs an operation (0: none), by the system's thread number,
// unique among the threads alive. The per-thread values live in the system's
// slots, which never allocate: an operation must not fail, nor the process
// end, because a thread's first touch of a value found no memory.
std::atomic<uint64_t> g_owner{0};
plog::util::ThreadValue<int> t_depth;
plog::util::ThreadValue<bool> t_inLoop;

}  // namespace

OperationGuard::OperationGuard() {
    const uint64_t self = plog::util::currentThreadId();
    uint64_t owner = 0;
    if (g_owner.compare_exchange_strong(owner, self)) {
        m_entered = true;
    } else if (owner == self && !t_inLoop.get()) {
        // An operation calling another export of its library.
        m_entered = true;
    }
    if (m_entered) t_depth.set(t_depth.get() + 1);
}

OperationGuard::~OperationGuard() {
    if (!m_entered) return;
    const int depth = t_depth.get() - 1;
    t_depth.set(depth);
    if (depth == 0) g_owner.store(0);
}

MessageLoopScope::MessageLoopScope() : m_outer(!t_inLoop.get()) { t_inLoop.set(true); }

MessageLoopScope::~MessageLoopScope() {
    if (m_outer) t_inLoop.set(false);
}
