#include "log_text.h"

#include "plog/Record.h"

std::string logText(const boost::filesystem::path& path) {
#ifdef _WIN32
    return plog::util::toUtf8(path.native());
#else
    return path.native();
#endif
}

std::string quotedLogText(const boost::filesystem::path& path) {
    std::string quoted = "\"";
    for (char c : logText(path)) {
        if (c == '"' || c == '&') quoted += '&';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}
