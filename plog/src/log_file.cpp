#include "plog/Appenders/RollingFileAppender.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace plog::util {

LogFile::~LogFile() {
    if (m_file) std::fclose(m_file);
}

long LogFile::openOnce() {
    if (!m_tried) {
        m_tried = true;
#ifdef _WIN32
        m_file = m_wideName.empty() ? _fsopen(m_narrowName.c_str(), "ab", _SH_DENYWR)
                                    : _wfsopen(m_wideName.c_str(), L"ab", _SH_DENYWR);
#else
        m_file = std::fopen(m_narrowName.c_str(), "ab");
#endif
    }
    if (!m_file) return -1;
    if (m_sizeAtOpen < 0 && std::fseek(m_file, 0, SEEK_END) == 0) m_sizeAtOpen = std::ftell(m_file);
    return m_sizeAtOpen;
}

void LogFile::write(const std::string& bytes) {
    if (!m_file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), m_file);
    std::fflush(m_file);
}

}  // namespace plog::util
