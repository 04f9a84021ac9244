#include "client_command.h"

#include <cctype>
#include <cstring>

namespace {

constexpr char kSeparator = '\x01';

// Ends the field that starts at `field` (its separator becomes NUL) and returns
// the start of the next one, or null when this was the last.
char* EndField(char* field) {
    char* separator = std::strchr(field, kSeparator);
    if (!separator) return nullptr;
    *separator = '\0';
    return separator + 1;
}

void UpperCaseInPlace(char* word) {
    for (char* c = word; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
}

bool StartsWith(const char* word, const char* command) {
    return std::strncmp(word, command, std::strlen(command)) == 0;
}

ClientCommandKind KindOf(const char* word) {
    if (StartsWith(word, "ENROLL")) return ClientCommandKind::kEnroll;
    if (StartsWith(word, "CAPTURAR")) return ClientCommandKind::kCapturar;
    if (StartsWith(word, "VERIFICAR")) return ClientCommandKind::kVerificar;
    if (StartsWith(word, "MATCH")) return ClientCommandKind::kMatch;
    return ClientCommandKind::kUnknown;
}

}  // namespace

ClientCommand ParseClientCommand(char* line) {
    ClientCommand command;
    command.word = line;
    int fields = 0;
    const char* kind = nullptr;
    const char* onlyField = nullptr;
    // Every separator is ended, also past the pairs the tables hold, so that the
    // client's line reads the same whatever its length.
    for (char* field = EndField(line); field; ++fields) {
        char* next = EndField(field);
        if (fields == 0) onlyField = field;
        if (fields % 2 == 0) {
            kind = field;
        } else if (command.pairs < kCommandPairs) {
            command.kinds[command.pairs] = kind;
            command.templates[command.pairs] = field;
            ++command.pairs;
        }
        field = next;
    }
    if (fields == 1) command.templates[0] = onlyField;
    UpperCaseInPlace(command.word);
    command.kind = KindOf(command.word);
    return command;
}
