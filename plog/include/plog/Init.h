// Initialisation as in plog: the first init of an instance creates its logger,
// later calls add appenders to it.
#pragma once

#include "plog/Appenders/RollingFileAppender.h"
#include "plog/Formatters/TxtFormatter.h"
#include "plog/Logger.h"

namespace plog {

template <int instanceId>
Logger<instanceId>& init(Severity maxSeverity = none, IAppender* appender = nullptr) {
    static Logger<instanceId> logger(maxSeverity);
    if (appender) logger.addAppender(appender);
    return logger;
}

inline Logger<0>& init(Severity maxSeverity = none, IAppender* appender = nullptr) {
    return init<0>(maxSeverity, appender);
}

template <int instanceId, class Char>
Logger<instanceId>& initFile(Severity maxSeverity, const Char* fileName, size_t maxFileSize, int maxFiles) {
    static RollingFileAppender<TxtFormatter> appender(fileName, maxFileSize, maxFiles);
    return init<instanceId>(maxSeverity, &appender);
}

template <int instanceId>
Logger<instanceId>& init(Severity maxSeverity, const char* fileName, size_t maxFileSize = 0, int maxFiles = 0) {
    return initFile<instanceId>(maxSeverity, fileName, maxFileSize, maxFiles);
}

inline Logger<0>& init(Severity maxSeverity, const char* fileName, size_t maxFileSize = 0, int maxFiles = 0) {
    return init<0>(maxSeverity, fileName, maxFileSize, maxFiles);
}

#ifdef _WIN32
template <int instanceId>
Logger<instanceId>& init(Severity maxSeverity, const wchar_t* fileName, size_t maxFileSize = 0, int maxFiles = 0) {
    return initFile<instanceId>(maxSeverity, fileName, maxFileSize, maxFiles);
}

inline Logger<0>& init(Severity maxSeverity, const wchar_t* fileName, size_t maxFileSize = 0, int maxFiles = 0) {
    return init<0>(maxSeverity, fileName, maxFileSize, maxFiles);
}
#endif

}  // namespace plog
