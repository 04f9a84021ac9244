// "YYYY-MM-DD HH:MM:SS.mmm SEVERITY [tid] [function@line] message\n"
#pragma once

#include <string>

#include "plog/Record.h"

namespace plog {

class TxtFormatter {
public:
    static std::string header() { return std::string(); }
    static std::string format(const Record& record);
    // Appends the record's line to `out`; what was there stays. Throws only
    // when `out` cannot grow, and then leaves it as it was.
    static void formatTo(const Record& record, std::string& out);
};

}  // namespace plog
