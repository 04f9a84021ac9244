// File appender with plog's interface. Every caller in this project passes a
// maximum size and count of 0, which in plog means one file that is appended to
// and never rolled over; this layer has no other behaviour, so non-zero values
// are accepted for interface compatibility and change nothing.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "plog/Appenders/IAppender.h"
#include "plog/Converters/UTF8Converter.h"

namespace plog {

namespace util {
// The log file: opened once, at the first record, for appending, and kept from
// child processes (a program started later must not hold the log open). Other
// processes may append to it at the same time; each record lands whole. A file
// that cannot be opened drops records.
class LogFile {
public:
    explicit LogFile(std::string fileName) : m_narrowName(std::move(fileName)) {}
#ifdef _WIN32
    explicit LogFile(std::wstring fileName) : m_wideName(std::move(fileName)) {}
#endif
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens on first use; false when the file could not be opened.
    bool openOnce();
    // Whether the file was empty when it was opened.
    bool wasEmptyAtOpen() const { return m_emptyAtOpen; }
    void write(const std::string& bytes);

private:
    std::string m_narrowName;
#ifdef _WIN32
    std::wstring m_wideName;
#endif
#ifdef _WIN32
    void* m_handle = nullptr;  // HANDLE
#else
    int m_fd = -1;
#endif
    bool m_tried = false;
    bool m_emptyAtOpen = false;
};
}  // namespace util

template <class Formatter, class Converter = UTF8Converter>
class RollingFileAppender : public IAppender {
public:
    explicit RollingFileAppender(const char* fileName, size_t maxFileSize = 0, int maxFiles = 0)
        : m_file(fileName ? fileName : "") {
        (void)maxFileSize;
        (void)maxFiles;
    }
#ifdef _WIN32
    explicit RollingFileAppender(const wchar_t* fileName, size_t maxFileSize = 0, int maxFiles = 0)
        : m_file(std::wstring(fileName ? fileName : L"")) {
        (void)maxFileSize;
        (void)maxFiles;
    }
#endif

    void write(const Record& record) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_file.openOnce()) return;
        if (m_file.wasEmptyAtOpen() && !m_headerWritten) m_file.write(Converter::header(Formatter::header()));
        m_headerWritten = true;
        m_file.write(Converter::convert(Formatter::format(record)));
    }

private:
    std::mutex m_mutex;
    util::LogFile m_file;
    bool m_headerWritten = false;
};

}  // namespace plog
