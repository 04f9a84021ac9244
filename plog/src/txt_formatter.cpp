#include "plog/Formatters/TxtFormatter.h"

#include <cstdio>

namespace plog {

std::string TxtFormatter::format(const Record& record) {
    const RecordTime& t = record.getTime();
    char prefix[96];
    std::snprintf(prefix, sizeof prefix, "%d-%02d-%02d %02d:%02d:%02d.%03d %-5s [%llu] [", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond, severityToString(record.getSeverity()),
                  static_cast<unsigned long long>(record.getTid()));
    std::string line(prefix);
    line += record.getFunc() ? record.getFunc() : "";
    line += '@';
    line += std::to_string(record.getLine());
    line += "] ";
    line += record.getMessage();
    line += '\n';
    return line;
}

}  // namespace plog
