#include "plog/Formatters/TxtFormatter.h"

#include <cstring>

namespace plog {

namespace {

// Appends value with at least `width` digits, zero-padded. Written out by hand:
// this runs for every record of every operation, and the C runtime's
// formatted printing costs a microsecond or more a call under Wine.
void AppendDigits(std::string& line, unsigned long long value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = count; i < width; ++i) line += '0';
    while (count > 0) line += digits[--count];
}

// As printf's "%0<width>d": a sign, then the digits.
void AppendNumber(std::string& line, long long value, int width) {
    if (value < 0) {
        line += '-';
        AppendDigits(line, 0ull - static_cast<unsigned long long>(value), width - 1);
    } else {
        AppendDigits(line, static_cast<unsigned long long>(value), width);
    }
}

}  // namespace

std::string TxtFormatter::format(const Record& record) {
    const RecordTime& t = record.getTime();
    const char* severity = severityToString(record.getSeverity());
    const char* func = record.getFunc() ? record.getFunc() : "";
    const std::string& message = record.getMessage();
    std::string line;
    line.reserve(48 + std::strlen(func) + message.size());
    // "%d-%02d-%02d %02d:%02d:%02d.%03d %-5s [%llu] [<func>@<line>] <message>\n"
    const struct {
        int value;
        int width;
        char after;
    } fields[] = {{t.year, 1, '-'},   {t.month, 2, '-'},  {t.day, 2, ' '},         {t.hour, 2, ':'},
                  {t.minute, 2, ':'}, {t.second, 2, '.'}, {t.millisecond, 3, ' '}};
    for (const auto& field : fields) {
        AppendNumber(line, field.value, field.width);
        line += field.after;
    }
    line += severity;
    for (size_t i = std::strlen(severity); i < 5; ++i) line += ' ';
    line += " [";
    AppendDigits(line, record.getTid(), 1);
    line += "] [";
    line += func;
    line += '@';
    AppendNumber(line, record.getLine(), 1);
    line += "] ";
    line += message;
    line += '\n';
    return line;
}

}  // namespace plog
