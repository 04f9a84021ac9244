#include "run_lock_win32.h"

#include <windows.h>

RunLock::RunLock(const boost::filesystem::path& file) {
    // No sharing at all: a second open fails with a sharing violation while
    // this handle lives. Deleted on close, so no stale lock outlives a run
    // that was killed.
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_error = GetLastError();
    } else {
        m_handle = handle;
    }
}

RunLock::~RunLock() {
    if (m_handle) CloseHandle(m_handle);
}

bool RunLock::heldByAnotherRun() const {
    return m_error == ERROR_SHARING_VIOLATION;
}
