// "YYYY-MM-DD HH:MM:SS.mmm SEVERITY [tid] [function@line] message\n"
#pragma once

#include <string>

#include "plog/Record.h"

namespace plog {

class TxtFormatter {
public:
    static std::string header() { return std::string(); }
    static std::string format(const Record& record);
};

}  // namespace plog
