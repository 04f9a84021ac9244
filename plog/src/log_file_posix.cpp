#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "plog/Appenders/RollingFileAppender.h"

namespace plog::util {

LogFile::~LogFile() {
    if (m_fd >= 0) close(m_fd);
}

bool LogFile::isOpen() const noexcept {
    return m_fd >= 0;
}

bool LogFile::open() noexcept {
    m_fd = ::open(m_narrowName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    struct stat info {};
    if (m_fd >= 0) m_emptyAtOpen = fstat(m_fd, &info) == 0 && info.st_size == 0;
    return m_fd >= 0;
}

void LogFile::write(const std::string& bytes) noexcept {
    size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) return;
        done += static_cast<size_t>(written);
    }
}

}  // namespace plog::util
