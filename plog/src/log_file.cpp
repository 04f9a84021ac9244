#include "plog/Appenders/RollingFileAppender.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

namespace plog::util {

LogFile::~LogFile() {
#ifdef _WIN32
    if (m_fd >= 0) _close(m_fd);
#else
    if (m_fd >= 0) close(m_fd);
#endif
}

bool LogFile::openOnce() {
    if (m_tried) return m_fd >= 0;
    m_tried = true;
#ifdef _WIN32
    const int flags = _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT;
    m_fd = m_wideName.empty() ? _sopen(m_narrowName.c_str(), flags, _SH_DENYWR, _S_IREAD | _S_IWRITE)
                              : _wsopen(m_wideName.c_str(), flags, _SH_DENYWR, _S_IREAD | _S_IWRITE);
    if (m_fd >= 0) m_emptyAtOpen = _filelengthi64(m_fd) == 0;
#else
    m_fd = open(m_narrowName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    struct stat info{};
    if (m_fd >= 0) m_emptyAtOpen = fstat(m_fd, &info) == 0 && info.st_size == 0;
#endif
    return m_fd >= 0;
}

void LogFile::write(const std::string& bytes) {
    size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
#ifdef _WIN32
        const int written = _write(m_fd, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
#else
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
#endif
        if (written <= 0) return;
        done += static_cast<size_t>(written);
    }
}

}  // namespace plog::util
