#include "run_lock_win32.h"

RunLock::RunLock(const boost::filesystem::path& file)
    // No sharing at all: a second open fails with a sharing violation while
    // this handle lives. Deleted on close, so no stale lock outlives a run
    // that was killed.
    : m_handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr)),
      m_error(m_handle ? 0 : GetLastError()) {}

bool RunLock::heldByAnotherRun() const {
    return m_error == ERROR_SHARING_VIOLATION;
}
