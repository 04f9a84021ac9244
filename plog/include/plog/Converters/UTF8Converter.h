// Records are kept as UTF-8 already; the converter only supplies the byte-order
// mark that starts an empty file.
#pragma once

#include <string>

namespace plog {

class UTF8Converter {
public:
    static std::string header(const std::string& formatterHeader) { return "\xEF\xBB\xBF" + formatterHeader; }
    static const std::string& convert(const std::string& text) { return text; }
};

}  // namespace plog
