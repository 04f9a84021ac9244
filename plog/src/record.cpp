#include "plog/Record.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace plog {

namespace {

void LocalTime(std::time_t seconds, std::tm* out) {
#ifdef _WIN32
    localtime_s(out, &seconds);
#else
    localtime_r(&seconds, out);
#endif
}

// The calendar fields of the latest second, worked out once per second. A
// thread that finds another one using them works its own out rather than wait.
struct SecondFields {
    std::time_t second = -1;
    std::tm fields{};
};
SecondFields g_latest;
std::atomic_flag g_latestInUse = ATOMIC_FLAG_INIT;

RecordTime localNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int millis = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm fields{};
    if (!g_latestInUse.test_and_set(std::memory_order_acquire)) {
        if (g_latest.second != seconds) {
            LocalTime(seconds, &g_latest.fields);
            g_latest.second = seconds;
        }
        fields = g_latest.fields;
        g_latestInUse.clear(std::memory_order_release);
    } else {
        LocalTime(seconds, &fields);
    }
    return RecordTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                      fields.tm_sec, millis};
}

}  // namespace

const char* severityToString(Severity severity) {
    switch (severity) {
        case fatal: return "FATAL";
        case error: return "ERROR";
        case warning: return "WARN";
        case info: return "INFO";
        case debug: return "DEBUG";
        case verbose: return "VERB";
        default: return "NONE";
    }
}

Record::Record(Severity severity, const char* func, int line)
    : m_severity(severity), m_func(func), m_line(line), m_tid(util::currentThreadId()), m_time(localNow()) {}

namespace util {

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = static_cast<uint32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const uint32_t low = static_cast<uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace util
}  // namespace plog
