// Splitting and naming of ExecInClientDLL's command lines, hostile ones
// included. Lines live in buffers of their exact size, so that the sanitizers
// catch a read past the NUL.
#include "client_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    ClientCommandKind kind;
    std::string word;
    int pairs;
    // "kind|template" per pair 0..9, "-" for an absent text
    std::vector<std::string> slots;
    std::string lineAfter;
};

std::string Text(const char* text) {
    return text ? text : "-";
}

Parsed Parse(const std::string& line) {
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    const ClientCommand command = ParseClientCommand(buffer.data());
    Parsed parsed{command.kind, command.word, command.pairs, {}, std::string(buffer.begin(), buffer.end() - 1)};
    int last = kCommandPairs - 1;
    while (last >= 0 && !command.kinds[last] && !command.templates[last]) --last;
    for (int i = 0; i <= last; ++i) parsed.slots.push_back(Text(command.kinds[i]) + "|" + Text(command.templates[i]));
    return parsed;
}

using Kind = ClientCommandKind;
using Slots = std::vector<std::string>;

struct Case {
    const char* name;
    std::string line;
    Kind kind;
    std::string word;
    int pairs;
    Slots slots;
};

TEST(ClientCommand, SplitsPairsAndNamesTheCommand) {
    const std::string s = "\x01";
    const Case cases[] = {
        {"word alone", "enroll", Kind::kEnroll, "ENROLL", 0, {}},
        {"prefix counts", "EnrollMent", Kind::kEnroll, "ENROLLMENT", 0, {}},
        {"capturar", "capturar" + s, Kind::kCapturar, "CAPTURAR", 0, {"-|"}},
        {"lone field is a template without kind", "verificar" + s + "abc", Kind::kVerificar, "VERIFICAR", 0, {"-|abc"}},
        {"one pair", "VERIFICAR" + s + "N" + s + "abc", Kind::kVerificar, "VERIFICAR", 1, {"N|abc"}},
        {"no separator: no field at all", "MATCH", Kind::kMatch, "MATCH", 0, {}},
        {"last field without partner is dropped",
         "match" + s + "Z" + s + "a" + s + "N" + s + "b" + s + "Z",
         Kind::kMatch,
         "MATCH",
         2,
         {"Z|a", "N|b"}},
        {"empty fields are fields", "MATCH" + s + s + s + s, Kind::kMatch, "MATCH", 2, {"|", "|"}},
        {"too short to be a command", "matc" + s + "Z" + s + "a", Kind::kUnknown, "MATC", 1, {"Z|a"}},
        {"command not at the start", "xenroll", Kind::kUnknown, "XENROLL", 0, {}},
        {"empty line", "", Kind::kUnknown, "", 0, {}},
        {"empty word", s + "Z" + s + "a", Kind::kUnknown, "", 1, {"Z|a"}},
        {"bytes above 127 stay as they are", "m\xE1tch", Kind::kUnknown, "M\xE1TCH", 0, {}},
    };
    for (const Case& c : cases) {
        const Parsed parsed = Parse(c.line);
        EXPECT_EQ(parsed.kind, c.kind) << c.name;
        EXPECT_EQ(parsed.word, c.word) << c.name;
        EXPECT_EQ(parsed.pairs, c.pairs) << c.name;
        EXPECT_EQ(parsed.slots, c.slots) << c.name;
    }
}

// The client's line after the call: separators turned into NUL, the word in
// upper case, the fields as they were.
TEST(ClientCommand, ChangesTheLineInPlace) {
    EXPECT_EQ(Parse("match\x01z\x01"
                    "abc\x01n\x01"
                    "def")
                  .lineAfter,
              std::string("MATCH\0z\0abc\0n\0def", 17));
}

// Only ten pairs fit the tables: later pairs are left out, and the line still
// reads the same everywhere.
TEST(ClientCommand, IgnoresPairsPastTheTenth) {
    std::string line = "MATCH", expectedLine = "MATCH";
    Slots expected;
    for (int pair = 0; pair < 13; ++pair) {
        const std::string kind = "k" + std::to_string(pair), text = "t" + std::to_string(pair);
        line += "\x01" + kind + "\x01" + text;
        expectedLine += std::string(1, '\0') + kind + '\0' + text;
        if (pair < kCommandPairs) expected.push_back(kind + "|" + text);
    }
    const Parsed parsed = Parse(line);
    EXPECT_EQ(parsed.pairs, kCommandPairs);
    EXPECT_EQ(parsed.slots, expected);
    EXPECT_EQ(parsed.lineAfter, expectedLine);
}

}  // namespace
