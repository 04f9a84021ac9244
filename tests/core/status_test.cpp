#include <gtest/gtest.h>

#include <cstring>

#include "bio_status.h"
#include "failure.h"

namespace {

constexpr Failure kInvalidParameter = {7, "ERROR - FK_VerifyMatch - Invalid Parameter - %d", true};
constexpr Failure kTextOnly = {kCodeKept, "%s"};

TEST(BioStatusText, RendersFlagsCodeAndMessage) {
    OwnedStatus status(kOpVerifyMatch);
    char out[kBioMessageSize + 25];
    status->success = true;
    status->matched = true;
    EXPECT_EQ(FormatBioStatus(out, status.get()), 1);
    EXPECT_STREQ(out, "true#true#0#");

    status->matched = false;
    Fail<kInvalidParameter>(status.get());
    FormatBioStatus(out, status.get());
    EXPECT_STREQ(out, "false#false#7#ERROR - FK_VerifyMatch - Invalid Parameter - 7");
}

TEST(BioStatusText, AbsentArgumentsWriteNothing) {
    OwnedStatus status(0);
    char out[32] = "untouched";
    EXPECT_EQ(FormatBioStatus(nullptr, status.get()), 0);
    EXPECT_EQ(FormatBioStatus(out, nullptr), 0);
    EXPECT_STREQ(out, "untouched");
}

TEST(BioStatusText, LongestMessageFitsTheDocumentedRoom) {
    OwnedStatus status(0);
    status->error = -2147483647 - 1;
    std::memset(status->message, 'x', kBioMessageSize - 1);
    char out[kBioMessageSize + 25];
    FormatBioStatus(out, status.get());
    EXPECT_EQ(std::strlen(out), static_cast<size_t>(kBioMessageSize - 1 + 24));
}

TEST(BioStatusText, MessagesAreCutToTheBuffer) {
    OwnedStatus status(0);
    const std::string longText(3000, 'y');
    Fail<kTextOnly>(status.get(), longText.c_str());
    EXPECT_EQ(std::strlen(status->message), static_cast<size_t>(kBioMessageSize - 1));
}

TEST(OperationNames, KnownCodesAndGaps) {
    const std::pair<int32_t, const char*> names[] = {
        {2024, "ENROLL"}, {2025, "VERIFY"}, {2026, "CAPTURE"}, {2027, ""},
        {2028, "VERIFYSERVER"}, {2029, ""}, {2030, "VERIFYMATCH"}, {0, ""},
    };
    for (const auto& [code, name] : names) {
        char out[16];
        std::memset(out, 'z', sizeof out);
        GetOperationName(code, out);
        EXPECT_STREQ(out, name) << code;
        EXPECT_EQ(out[15], '\0') << code;
    }
}

}  // namespace
