// One log record: severity, origin, time, thread and the message streamed into it.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

#include "plog/Severity.h"

namespace plog {

namespace util {
// Wide texts (paths on Windows) are logged as UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(std::wstring_view text);
uint64_t currentThreadId();
}  // namespace util

struct RecordTime {
    int year, month, day, hour, minute, second, millisecond;
};

class Record {
public:
    Record(Severity severity, const char* func, int line);
    // A record with a given time and thread, for replaying or checking layouts.
    Record(Severity severity, const char* func, int line, const RecordTime& time, uint64_t tid)
        : m_severity(severity), m_func(func), m_line(line), m_tid(tid), m_time(time) {}

    Record& ref() { return *this; }

    // Streaming never throws: a piece that cannot be added (no memory for it)
    // is left out, and the operation that logs goes on.
    Record& operator<<(const char* text) {
        return add([&] { m_message += text ? text : "(null)"; });
    }
    Record& operator<<(char* text) { return *this << static_cast<const char*>(text); }
    Record& operator<<(const std::string& text) {
        return add([&] { m_message += text; });
    }
    Record& operator<<(const wchar_t* text) {
        return add([&] { m_message += text ? util::toUtf8(text) : std::string("(null)"); });
    }
    Record& operator<<(wchar_t* text) { return *this << static_cast<const wchar_t*>(text); }
    Record& operator<<(const std::wstring& text) {
        return add([&] { m_message += util::toUtf8(text); });
    }
    Record& operator<<(char c) {
        return add([&] { m_message += c; });
    }
    Record& operator<<(int value) {
        return add([&] { m_message += std::to_string(value); });
    }
    // Anything else that an ostream can print (other numbers, pointers, paths...).
    template <class T>
    Record& operator<<(const T& value) {
        return add([&] {
            std::ostringstream text;
            text << value;
            m_message += text.str();
        });
    }

    Severity getSeverity() const { return m_severity; }
    const char* getFunc() const { return m_func; }
    int getLine() const { return m_line; }
    uint64_t getTid() const { return m_tid; }
    const RecordTime& getTime() const { return m_time; }
    const std::string& getMessage() const { return m_message; }

private:
    template <class Append>
    Record& add(Append append) noexcept {
        try {
            append();
        } catch (...) {
            // The record goes out without this piece.
        }
        return *this;
    }

    Severity m_severity;
    const char* m_func;
    int m_line;
    uint64_t m_tid;
    RecordTime m_time;
    std::string m_message;
};

}  // namespace plog
