#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "debug_trace.h"
#include "logged_template.h"
#include "sha256.h"
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

// Template texts reach the operation log as their length and digest, and as
// themselves only while the debug switch is on.
TEST_F(DebugTrace, TemplatesAreLoggedByLengthAndDigest) {
    const auto hex = [](const std::string& text) {
        const Sha256Digest digest = Sha256(text.data(), text.size());
        std::string out;
        char byte[3];
        for (uint8_t b : digest) {
            std::snprintf(byte, sizeof byte, "%02x", b);
            out += byte;
        }
        return out;
    };
    // Known answers, around the block and padding boundaries.
    EXPECT_EQ(hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // With the processor's SHA extensions or without, one digest, at every
    // length across several blocks and tails.
    std::string text;
    for (int n = 0; n < 300; ++n, text += static_cast<char>(n * 37 + 11)) {
        ASSERT_EQ(Sha256(text.data(), text.size()), Sha256Portable(text.data(), text.size())) << n << " bytes";
    }

    EXPECT_EQ(LoggedTemplate("abc"), "<3 chars sha256:ba7816bf8f01>");
    EXPECT_EQ(LoggedTemplate(""), "<0 chars sha256:e3b0c44298fc>");
    EXPECT_EQ(LoggedTemplate(nullptr), "(null)");
    EXPECT_EQ(LoggedTemplate("ERROR - 999"), "ERROR - 999") << "a failure text holds no template";
    EXPECT_EQ(LoggedTemplate("ERRORabc"), "<8 chars sha256:" + hex("ERRORabc").substr(0, 12) + ">");
    __SetKavroBioDebug(1);
    EXPECT_EQ(LoggedTemplate("abc"), "abc");
}

}  // namespace
