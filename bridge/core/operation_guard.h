// One operation at a time per library. The reader session, the codec's work
// buffers and the pump flag are shared by the whole process; an operation
// started while another one runs (from another thread, or from a message the
// running operation's window loop dispatches to the host) would corrupt them.
// So every export that works on them enters an OperationGuard first, and one
// that cannot enter fails at once with kBusy (failure.h), in its own failure
// form. An operation may call other exports of its library on its own thread,
// outside its message loops.
#pragma once

#include <cstdint>

class OperationGuard {
public:
    OperationGuard();
    ~OperationGuard();
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;

    // False when another operation runs: the caller must not go on.
    bool entered() const { return m_entered; }

private:
    bool m_entered = false;
};

// Marks the time this thread spends in a message loop on behalf of an
// operation (the capture window's loop, a modal warning box): whatever the
// loop calls back into is the host's, and an operation it starts is refused.
class MessageLoopScope {
public:
    MessageLoopScope();
    ~MessageLoopScope();
    MessageLoopScope(const MessageLoopScope&) = delete;
    MessageLoopScope& operator=(const MessageLoopScope&) = delete;

private:
    bool m_outer;
};
