// The natives of com.bio.BioApplet in both libraries, called as a JVM calls
// them, through a JNI environment that records every call.
#include <regex>
#include <string>
#include <vector>

#include "allocation_faults.h"
#include "faces_fixture.h"
#include "template_text.h"

namespace {

using Strings = std::vector<std::string>;

using JniNatives = NativesTest;

TEST_P(JniNatives, InitAndCloseGiveFkResultsInDecimal) {
    EXPECT_EQ(close(1), bridge().closeWithoutSession);
    EXPECT_EQ(init(), "0");
    EXPECT_EQ(close(1), bridge().closeAfterInit);
    script(bridge().failingInit);
    EXPECT_EQ(init(), bridge().failedInitResult);
    close(1);
    for (const std::string& call : jni.calls()) EXPECT_EQ(call.find("GetStringUTFChars"), std::string::npos);
}

TEST_P(JniNatives, VerifyMatchGivesOneOrZeroFollowedByTheMessage) {
    const std::string stored = templateOf(3, true), same = templateOf(3, false), other = templateOf(4, false);
    bridge().resetReader();
    const jstring kind = java("Z"), storedText = java(stored), sameText = java(same);  // #1, #2, #3
    jni.clearCalls();
    EXPECT_EQ(verifyMatch(kind, storedText, kind, sameText), "1");
    EXPECT_EQ(jni.calls(), (Strings{"GetStringUTFChars(#1)", "ReleaseStringUTFChars(#1)", "GetStringUTFChars(#2)",
                                    "ReleaseStringUTFChars(#2)", "GetStringUTFChars(#1)", "ReleaseStringUTFChars(#1)",
                                    "GetStringUTFChars(#3)", "ReleaseStringUTFChars(#3)", "NewStringUTF(1)"}));
    EXPECT_EQ(verifyMatch(java("Z"), java(stored), java("Z"), java(other)), "0") << "different fingers: no message";

    // A null Java string reaches FK_VerifyMatch as an absent text; the JVM is
    // never asked for its characters.
    jni.clearCalls();
    EXPECT_EQ(verifyMatch(java("Z"), java(stored), nullptr, nullptr),
              "0ERROR - FK_VerifyMatch - Invalid Parameter - 7");
    EXPECT_EQ(jni.calls().size(), 5u);
    EXPECT_EQ(bridge().readerComparisons(), 2);
}

// Each comparison hands its caller a message buffer of its own. The library's
// own callers, the native, ExecInClientDLL's MATCH over its candidates and
// FK_VerifyMcsDigital over its list, take it and free the one it replaced: many
// rounds of them leave the library holding no more blocks than one round.
TEST_P(JniNatives, HandedMessageBuffersAreAllFreed) {
    std::string stored = templateOf(3, true), other = templateOf(4, false);
    bridge().resetReader();
    AllocationFaults blocks(library());
    ASSERT_TRUE(blocks.applied());
    using Mcs = int32_t (*)(char**, int32_t, char*, int32_t);
    const auto mcs = Export<Mcs>(library(), "FK_VerifyMcsDigital");
    const auto round = [&] {
        EXPECT_EQ(verifyMatch(java("Z"), java(stored), java("Z"), java(other)), "0");
        std::string line = "MATCH\x01Z\x01" + stored + "\x01Z\x01" + other + "\x01Z\x01" + other, result;
        int32_t length = -1;
        exec(&line, &result, &length);
        EXPECT_EQ(result, "00");
        if (mcs) {
            char* texts[] = {other.data(), stored.data(), stored.data(), stored.data()};
            char out[1100];
            EXPECT_EQ(mcs(texts, 4, out, sizeof out), 0);
        }
    };
    // The first round makes what the library keeps for later ones (its log).
    round();
    const long held = blocks.held();
    for (int i = 0; i < 10; ++i) round();
    EXPECT_EQ(blocks.held(), held);
}

TEST_P(JniNatives, CapturesReachJavaAsTheirText) {
    script("finger=5");
    const std::string captured = capture();
    const std::string served = verifyServer();
    for (const std::string& text : {captured, served}) {
        EXPECT_TRUE(std::regex_match(text, std::regex("[A-Za-z0-9+/]+=*"))) << text;
        EXPECT_NE(std::find(jni.calls().begin(), jni.calls().end(), "NewStringUTF(" + text + ")"), jni.calls().end());
    }
    std::string message;
    EXPECT_EQ(fkVerifyMatch("Z", captured.c_str(), "Z", templateOf(5, false).c_str(), &message), 1) << message;
}

TEST_P(JniNatives, VerifyComparesALiveFingerWithTheStoredText) {
    const std::string stored = templateOf(6, true);
    script("finger=6");
    EXPECT_EQ(verify(java("Z"), java(stored)), "1");
    script("finger=7");
    EXPECT_EQ(verify(nullptr, java(stored)), "0") << "an absent kind marker means packed template text";
}

// A JVM out of memory gives no characters and throws; a native then calls
// nothing more, neither the JVM nor the library, and gives back what it took.
TEST_P(JniNatives, StringsTheJvmCannotGiveEndTheNative) {
    const std::string stored = templateOf(3, true);
    bridge().resetReader();
    jni.clearCalls();
    const jstring kind = java("Z"), storedText = java(stored);
    jni.failGetStringUTFChars(2);
    EXPECT_EQ(verifyMatch(kind, storedText, kind, storedText), "<null>");
    EXPECT_EQ(jni.calls(), (Strings{"GetStringUTFChars(#1)", "ReleaseStringUTFChars(#1)", "GetStringUTFChars(#2)"}));
    EXPECT_EQ(bridge().readerComparisons(), 0);
}

TEST_P(JniNatives, WriteTheirRecordsOnlyInTheLibraryThatLogsThem) {
    const size_t before = OperationLogSize();
    jni.setVersion(0x00010006);
    init();
    close(1);
    capture();
    setAuthType(1);
    const std::string records = OperationLogSince(before);
    const auto count = [&](const std::string& pattern) {
        const std::regex re(pattern);
        return std::distance(std::sregex_iterator(records.begin(), records.end(), re), std::sregex_iterator());
    };
    const std::string native = "\\[Java_com_bio_BioApplet_FK_1";
    if (!bridge().nativeRecords) {
        EXPECT_EQ(count(native), 0) << records;
        EXPECT_EQ(std::count(jni.calls().begin(), jni.calls().end(), "GetVersion"), 0);
        return;
    }
    EXPECT_EQ(count(native + "(Init|Close|Capture|SetAuthType)@\\d+\\] Begin\n"), 4) << records;
    EXPECT_EQ(count(native + "(Init|Close|Capture|SetAuthType)@\\d+\\] End\n"), 4) << records;
    // The version records come after the operation, right before "End".
    EXPECT_EQ(count(native + "Init@\\d+\\] Java Version = 65542\n[^\n]*" + native + "Init@\\d+\\] End\n"), 1)
        << records;
    EXPECT_EQ(count(native + "Capture@\\d+\\] Java 1.6\n[^\n]*" + native + "Capture@\\d+\\] End\n"), 1) << records;
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, JniNatives, ::testing::Values(&NbioFaces(), &DpfpFaces()), BridgeName);

}  // namespace
