#include "entry_name.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryName, RefusesNamesThatLeaveTheDestination) {
    const std::pair<const char*, bool> cases[] = {
        {"a.dll", true},
        {"sub/b.txt", true},
        {"sub\\b.txt", true},
        {"sub/", true},
        {"a..b/c..", true},
        {".hidden", true},
        {"./a.txt", true},
        {"../evil.txt", false},
        {"..\\evil.txt", false},
        {"sub/../../evil.txt", false},
        {"sub/..", false},
        {"..", false},
        {"sub/.../x", false},
        {"sub/.. /x", false},
        {"/etc/evil", false},
        {"\\Windows\\evil.dll", false},
        {"\\\\server\\share\\evil", false},
        {"C:/evil.txt", false},
        {"c:evil.txt", false},
        {"a.txt:stream", false},
        {"CON", false},
        {"sub/nul.txt", false},
        {"com1", false},
        {"LPT9.log", false},
        {"aux .dll", false},
        {"CONOUT$", false},
        {"com10", true},
        {"console.txt", true},
        {"lpt.txt", true},
        {"output.zip", false},
        {"OUTPUT.ZIP.", false},
        {"sub/output.zip", true},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(isSafeEntryName(name), safe) << name;
}

}  // namespace
