// ExecInClientDLL in both libraries, over their own operations and simulated
// readers. The parsing and its edge cases are tested with a scripted table of
// operations in core_tests; here each command reaches the library's own
// operation with the right arguments.
#include <cstring>
#include <regex>
#include <sstream>
#include <string>

#include "faces_fixture.h"

namespace {

using CommandEntry = FacesTest;

std::string Line(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) line += (&field == fields.begin() ? "" : "\x01") + field;
    return line;
}

TEST_P(CommandEntry, MatchStopsAtTheFirstCandidateThatMatches) {
    const std::string stored = templateOf(3, true);
    const std::string four = templateOf(4, false), three = templateOf(3, false), five = templateOf(5, false);
    bridge().resetReader();
    std::string line = Line({"match", "Z", stored, "Z", four, "Z", three, "Z", five}), result;
    int32_t length = -1;
    EXPECT_EQ(exec(&line, &result, &length), 1);
    EXPECT_EQ(result, "12");
    EXPECT_EQ(length, 2);
    EXPECT_EQ(bridge().readerComparisons(), 2) << "the third candidate is never compared";
    EXPECT_EQ(line, std::string("MATCH\0Z\0", 8) + stored + '\0' + "Z" + '\0' + four + '\0' + "Z" + '\0' + three +
                        '\0' + "Z" + '\0' + five);
}

TEST_P(CommandEntry, MatchWithoutAMatchGivesTheLastComparisonsMessage) {
    const std::string stored = templateOf(3, true), other = templateOf(4, false);
    std::string expected;
    EXPECT_EQ(fkVerifyMatch("Z", stored.c_str(), "Z", "", &expected), 0);
    ASSERT_NE(expected, "") << "the last candidate fails with a message";
    std::string line = Line({"MATCH", "Z", stored, "Z", other, "Z", ""}), result;
    int32_t length = -1;
    EXPECT_EQ(exec(&line, &result, &length), 1);
    EXPECT_EQ(result, "00" + expected);
}

TEST_P(CommandEntry, VerificarVerifiesALoneFieldAsTemplateWithoutKind) {
    const std::string stored = templateOf(6, true);
    for (const auto& [finger, expected] : {std::pair{6, "1"}, {7, "0"}}) {
        script("finger=" + std::to_string(finger));
        std::string line = Line({"Verificar", stored}), result;
        int32_t length = -1;
        EXPECT_EQ(exec(&line, &result, &length), 1);
        EXPECT_EQ(result, expected) << finger;
        EXPECT_EQ(length, 1);
    }
}

TEST_P(CommandEntry, EnrollAndCapturarGiveTheCaptureText) {
    for (const char* word : {"ENROLL", "capturar"}) {
        script("finger=8");
        std::string line = word, result;
        int32_t length = -1;
        EXPECT_EQ(exec(&line, &result, &length), 1);
        EXPECT_EQ(length, static_cast<int32_t>(result.size()));
        std::string message;
        EXPECT_EQ(fkVerifyMatch("Z", result.c_str(), "Z", templateOf(8, false).c_str(), &message), 1)
            << word << ": " << result << " " << message;
    }
}

std::string Address(const void* pointer) {
    std::ostringstream text;
    text << pointer;
    return text.str();
}

TEST_P(CommandEntry, WritesItsBeginAndEndRecords) {
    const size_t before = OperationLogSize();
    char command[] = "NOTHING";
    char room[8];
    int32_t length = -1;
    using Exec = int32_t (*)(int32_t, char*, int32_t, char*, int32_t*);
    ASSERT_EQ(Export<Exec>(library(), "ExecInClientDLL")(7, command, -2, room, &length), 1);
    const std::string stamp =
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} DEBUG \\[\\d+\\] \\[Executar@\\d+\\] ";
    const std::string records = OperationLogSince(before);
    EXPECT_TRUE(std::regex_search(
        records, std::regex(stamp + "Begin Executar\\(7" + Address(command) + "-2\\)\n" + stamp + "End Executar\\(7" +
                            Address(command) + "-2" + Address(room) + Address(&length) + "\\)\n")))
        << records;
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, CommandEntry, ::testing::Values(&NbioFaces(), &DpfpFaces()), BridgeName);

}  // namespace
