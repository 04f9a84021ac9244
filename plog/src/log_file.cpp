#include "plog/Appenders/RollingFileAppender.h"

namespace plog::util {

bool LogFile::ready() noexcept {
    if (isOpen()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (m_lastAttempt && now - *m_lastAttempt < kReopenInterval) return false;
    m_lastAttempt = now;
    return open();
}

}  // namespace plog::util
