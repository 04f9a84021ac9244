#include "log_text.h"

#include "plog/Record.h"

std::string logText(const boost::filesystem::path& path) {
#ifdef _WIN32
    return escapedLogText(plog::util::toUtf8(path.native()));
#else
    return escapedLogText(path.native());
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

std::string escapedLogText(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        } else {
            escaped += c;
        }
    }
    return escaped;
}
