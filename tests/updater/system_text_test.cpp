#include "system_text.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

TEST(SystemText, AsciiStaysAsItIs) { EXPECT_EQ(systemTextToUtf8("http://host/u p.json 1.2"), "http://host/u p.json 1.2"); }

TEST(SystemText, CodePageTextBecomesUtf8) {
#ifdef _WIN32
    if (GetACP() != 1252) GTEST_SKIP() << "the check is written for code page 1252, this system has " << GetACP();
    EXPECT_EQ(systemTextToUtf8("Jo\xE3o \x80"), "Jo\xC3\xA3o \xE2\x82\xAC");
#else
    EXPECT_EQ(systemTextToUtf8("Jo\xC3\xA3o"), "Jo\xC3\xA3o");
#endif
}

}  // namespace
