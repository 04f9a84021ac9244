#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "debug_trace.h"
#include "temp_dir.h"

namespace {

class DebugTrace : public ::testing::Test {
protected:
    void TearDown() override {
        __SetKavroBioDebug(0);
        CloseDebugTrace();
    }
    ScopedTempDir dir_;
};

TEST_F(DebugTrace, SwitchKeepsOnlyTheLowByte) {
    EXPECT_EQ(__SetKavroBioDebug(1), 1);
    EXPECT_EQ(__SetKavroBioDebug(static_cast<uint8_t>(0x101)), 1);
    EXPECT_EQ(__SetKavroBioDebug(0), 0);
}

TEST_F(DebugTrace, OffWritesNoFile) {
    BioDebugLog("message = %d\n", 15);
    EXPECT_FALSE(std::filesystem::exists("biolog.txt"));
}

TEST_F(DebugTrace, FirstLineEmptiesTheFileAndWritesTheHeader) {
    std::ofstream("biolog.txt") << "stale contents\n";
    __SetKavroBioDebug(1);
    BioDebugLog("message = %d\n", 15);
    BioDebugLog("%s -> User Cancelled operation.\n", "fpbridge_dpfp.dll");
    __SetKavroBioDebug(0);
    BioDebugLog("not written\n");

    // The trace is a text-mode file: Windows ends its lines with CR LF.
#ifdef _WIN32
    const std::string eol = "\r\n";
#else
    const std::string eol = "\n";
#endif
    const std::regex layout("\\d\\d/\\d\\d/\\d{4} - \\d\\d:\\d\\d:\\d\\d" + eol +
                            "\\d\\d:\\d\\d:\\d\\d - message = 15" + eol +
                            "\\d\\d:\\d\\d:\\d\\d - fpbridge_dpfp.dll -> User Cancelled operation." + eol);
    const std::string text = FileText("biolog.txt");
    EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

}  // namespace
