// Logger instances, addressed by a compile-time id as in plog.
#pragma once

#include <vector>

#include "plog/Appenders/IAppender.h"

namespace plog {

template <int instanceId>
class Logger : public IAppender {
public:
    explicit Logger(Severity maxSeverity) : m_maxSeverity(maxSeverity) { s_instance = this; }
    ~Logger() override {
        if (s_instance == this) s_instance = nullptr;
    }
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    static Logger* instance() { return s_instance; }

    Logger& addAppender(IAppender* appender) {
        m_appenders.push_back(appender);
        return *this;
    }
    Severity getMaxSeverity() const { return m_maxSeverity; }
    void setMaxSeverity(Severity severity) { m_maxSeverity = severity; }
    bool checkSeverity(Severity severity) const { return severity <= m_maxSeverity; }

    // Never throws: logging must not break the operation that logs.
    void write(const Record& record) noexcept override {
        if (!checkSeverity(record.getSeverity())) return;
        for (IAppender* appender : m_appenders) {
            try {
                appender->write(record);
            } catch (...) {
                // The record is lost to this appender; the others still get it.
            }
        }
    }
    void operator+=(const Record& record) noexcept { write(record); }

private:
    Severity m_maxSeverity;
    std::vector<IAppender*> m_appenders;
    static inline Logger* s_instance = nullptr;
};

template <int instanceId>
inline Logger<instanceId>* get() {
    return Logger<instanceId>::instance();
}

}  // namespace plog
