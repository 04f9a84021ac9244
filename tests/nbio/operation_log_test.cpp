#include <regex>

#include "nbio_fixture.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// What a match writes to the operation log in the user's profile folder: the
// codec's steps, in plog's layout, under their own function names. The log may
// or may not exist before this test; only a file that was empty gets the
// byte-order mark, and it has only that one.
TEST_F(NbioBridge, MatchWritesTheCodecStepsToTheOperationLog) {
    const std::string text = CaptureText();
    const size_t before = OperationLogSize();
    ASSERT_EQ(FK_VerifyMatch("Z", text.c_str(), "Z", text.c_str(), nullptr), 1);
    const std::string log = OperationLogSince(0);
    ASSERT_GT(log.size(), before);
    EXPECT_EQ(log.rfind(kByteOrderMark, 0), 0u) << "the file starts with a byte-order mark";
    EXPECT_EQ(log.find(kByteOrderMark, 1), std::string::npos) << "and has no second one";

    const std::string stamp = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} DEBUG \\[\\d+\\] ";
    std::string expected;
    for (int templateText = 0; templateText < 2; ++templateText) {
        expected += stamp + "\\[Decode64@\\d+\\] Begin\n" + stamp + "\\[Decode64@\\d+\\] End\n";
        expected += stamp + "\\[FK_Unpack@\\d+\\] Begin\n" + stamp + "\\[FK_Unpack@\\d+\\] End result=1\n";
    }
    std::string added = log.substr(before);
    if (before == 0) added.erase(0, sizeof kByteOrderMark - 1);
    EXPECT_TRUE(std::regex_match(added, std::regex(expected))) << added;
}

}  // namespace
