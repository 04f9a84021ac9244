#include "plog/Formatters/TxtFormatter.h"

#include <cstring>

namespace plog {

namespace {

// Fixed fields of a line (those before the function's name, and the line
// number after it), laid out by hand into a buffer of their own: this runs for every record of every operation, and under Wine the
// C runtime's formatted printing costs a microsecond or more a call, and
// growing a string a character at a time a good part of one.
class Fields {
public:
    // Appends value with at least `width` digits, zero-padded.
    void digits(unsigned long long value, int width) {
        char reversed[20];
        int count = 0;
        do {
            reversed[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0);
        for (int i = count; i < width; ++i) m_text[m_size++] = '0';
        while (count > 0) m_text[m_size++] = reversed[--count];
    }
    // As printf's "%0<width>d": a sign, then the digits.
    void number(long long value, int width) {
        if (value < 0) {
            m_text[m_size++] = '-';
            digits(0ull - static_cast<unsigned long long>(value), width - 1);
        } else {
            digits(static_cast<unsigned long long>(value), width);
        }
    }
    void text(const char* text, size_t size) {
        std::memcpy(m_text + m_size, text, size);
        m_size += size;
    }
    void character(char c) { m_text[m_size++] = c; }
    const char* data() const { return m_text; }
    size_t size() const { return m_size; }

private:
    // The most the head takes: seven int fields of a sign and ten digits with
    // a separator each, a severity of five, " [", a thread number of twenty
    // digits, "] ["; the tail takes less.
    char m_text[7 * 12 + 5 + 2 + 20 + 3];
    size_t m_size = 0;
};

}  // namespace

void TxtFormatter::formatTo(const Record& record, std::string& out) {
    const RecordTime& t = record.getTime();
    const char* severity = severityToString(record.getSeverity());
    const char* func = record.getFunc() ? record.getFunc() : "";
    const std::string& message = record.getMessage();
    // "%d-%02d-%02d %02d:%02d:%02d.%03d %-5s [%llu] [<func>@<line>] <message>\n"
    const struct {
        int value;
        int width;
        char after;
    } fields[] = {{t.year, 1, '-'},   {t.month, 2, '-'},  {t.day, 2, ' '},         {t.hour, 2, ':'},
                  {t.minute, 2, ':'}, {t.second, 2, '.'}, {t.millisecond, 3, ' '}};
    Fields head;
    for (const auto& field : fields) {
        head.number(field.value, field.width);
        head.character(field.after);
    }
    const size_t severitySize = std::strlen(severity);
    head.text(severity, severitySize);
    for (size_t i = severitySize; i < 5; ++i) head.character(' ');
    head.text(" [", 2);
    head.digits(record.getTid(), 1);
    head.text("] [", 3);

    Fields tail;
    tail.character('@');
    tail.number(record.getLine(), 1);
    tail.text("] ", 2);

    const size_t funcSize = std::strlen(func);
    out.reserve(out.size() + head.size() + funcSize + tail.size() + message.size() + 1);
    out.append(head.data(), head.size());
    out.append(func, funcSize);
    out.append(tail.data(), tail.size());
    out += message;
    out += '\n';
}

std::string TxtFormatter::format(const Record& record) {
    std::string line;
    formatTo(record, line);
    return line;
}

}  // namespace plog
