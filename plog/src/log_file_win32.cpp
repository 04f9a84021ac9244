#include <windows.h>

#include "plog/Appenders/RollingFileAppender.h"

namespace plog::util {

namespace {
constexpr DWORD kMaxChunk = 1u << 30;
}  // namespace

LogFile::~LogFile() {
    if (m_handle) CloseHandle(m_handle);
}

bool LogFile::isOpen() const noexcept {
    return m_handle != nullptr;
}

bool LogFile::open() noexcept {
    // Append-only access makes every write land at the end of the file, as
    // one piece, whoever else appends at the same time: other processes may
    // write to the same log. Deletion is not shared, so the file cannot be
    // renamed away or replaced while records are written to it. The handle
    // is not inherited: a program started later must not hold the log open.
    const DWORD access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE handle =
        m_wideName.empty()
            ? CreateFileA(m_narrowName.c_str(), access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
            : CreateFileW(m_wideName.c_str(), access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    m_handle = handle;
    LARGE_INTEGER size{};
    m_emptyAtOpen = GetFileSizeEx(handle, &size) && size.QuadPart == 0;
    return true;
}

void LogFile::write(const std::string& bytes) noexcept {
    size_t done = 0;
    while (m_handle && done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD chunk = left < kMaxChunk ? static_cast<DWORD>(left) : kMaxChunk;
        DWORD written = 0;
        if (!WriteFile(m_handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

}  // namespace plog::util
