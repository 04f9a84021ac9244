// File appender with plog's interface. Every caller in this project passes a
// maximum size and count of 0, which in plog means one file that is appended to
// and never rolled over; this layer has no other behaviour, so non-zero values
// are accepted for interface compatibility and change nothing.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

#include "plog/Appenders/IAppender.h"
#include "plog/Converters/UTF8Converter.h"
#include "plog/RecordBatch.h"

namespace plog {

namespace util {
// The log file: opened at the first record, for appending, and kept from
// child processes (a program started later must not hold the log open). Other
// processes may append to it at the same time; each record lands whole.
//
// The log must never break the operation that writes to it. A file that cannot
// be opened (held by another process that shares it with nobody, read-only, in
// a folder where it cannot be made) drops records, and is tried again at a
// later record, at most once per kReopenInterval: the records flow again once
// the obstacle is gone, without a failing open at every record meanwhile. A
// write that fails (a full disk) loses its records. Nothing here throws or
// waits for another process.
class LogFile {
public:
    static constexpr std::chrono::milliseconds kReopenInterval{1000};

    explicit LogFile(std::string fileName) : m_narrowName(std::move(fileName)) {}
#ifdef _WIN32
    explicit LogFile(std::wstring fileName) : m_wideName(std::move(fileName)) {}
#endif
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Whether the file is open, opening it first when it is not and the last
    // attempt lies kReopenInterval back (or there was none).
    bool ready() noexcept;
    // Whether the file was empty when it was opened.
    bool wasEmptyAtOpen() const { return m_emptyAtOpen; }
    void write(const std::string& bytes) noexcept;

private:
    bool isOpen() const noexcept;
    bool open() noexcept;

    std::string m_narrowName;
#ifdef _WIN32
    std::wstring m_wideName;
#endif
#ifdef _WIN32
    void* m_handle = nullptr;  // HANDLE
#else
    int m_fd = -1;
#endif
    std::optional<std::chrono::steady_clock::time_point> m_lastAttempt;
    bool m_emptyAtOpen = false;
};
}  // namespace util

template <class Formatter, class Converter = UTF8Converter>
class RollingFileAppender : public IAppender, public util::BatchTarget {
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

    // Neither write throws: a record that cannot be formatted, held or written
    // is lost, and the operation that logs goes on.
    void write(const Record& record) noexcept override {
        try {
            if (!util::holdForBatch(this, &appendRecord, &record)) writeBatch(Formatter::format(record));
        } catch (...) {
            // Lost, as a record that finds the file locked is.
        }
    }

    // Records, whole, as one write.
    void writeBatch(const std::string& bytes) noexcept override {
        try {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_file.ready()) return;
            if (m_file.wasEmptyAtOpen() && !m_headerWritten) m_file.write(Converter::header(Formatter::header()));
            m_headerWritten = true;
            m_file.write(bytes);
        } catch (...) {
            // Lost, as a record that finds the file locked is.
        }
    }

private:
    // Records are kept in UTF-8, which is what the file holds: a batch takes
    // them as they are laid out, with no copy between.
    static_assert(std::is_same_v<Converter, UTF8Converter>, "records are written as they are kept, in UTF-8");
    static void appendRecord(std::string& held, const void* record) {
        Formatter::formatTo(*static_cast<const Record*>(record), held);
    }

    std::mutex m_mutex;
    util::LogFile m_file;
    bool m_headerWritten = false;
};

}  // namespace plog
