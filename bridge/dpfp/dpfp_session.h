// What every operation of the DigitalPersona bridge shares: the SDK session,
// the task's contexts and the texts of the SDK's result codes.
#pragma once

#include <cstdint>

#include "dpfp_task.h"

constexpr char kDpfpModuleName[] = "fpbridge_dpfp.dll";
// The reader SDK's library for readers and acquisitions, which the bridge imports.
constexpr char kDpfpSdkFile[] = "DPFPApi.dll";
// Room for the longest result text and its NUL.
constexpr int kResultTextSize = 128;

// The message for an SDK result code.
void GetResultText(int32_t code, char* out);

// Closes the task's extraction and comparison contexts where they are open.
void CloseTaskContexts(BioTask* task);

// Closes a task's contexts when it goes, so that no path leaves them open.
class ContextsClose {
public:
    explicit ContextsClose(BioTask* task) : m_task(task) {}
    ~ContextsClose() { CloseTaskContexts(m_task); }
    ContextsClose(const ContextsClose&) = delete;
    ContextsClose& operator=(const ContextsClose&) = delete;

private:
    BioTask* m_task;
};

// The end of one operation's SDK session: FK_Close when this goes, on every
// path, or earlier by close() where the operation's order puts it.
class SessionEnd {
public:
    SessionEnd() = default;
    ~SessionEnd() { close(); }
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;
    void close() noexcept;

private:
    bool m_closed = false;
};
