// The tokenizer both readers' scripts go through.
#include "simsdk/script_tokens.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace simsdk {
namespace {

std::string Joined(const std::vector<ScriptItem>& items) {
    std::string out;
    for (const ScriptItem& item : items) out += "[" + item.key + "|" + item.value + "]";
    return out;
}

TEST(SplitScript, ItemsInOrderWithoutBlanksOrEmptyItems) {
    const struct {
        const char* script;
        const char* items;
    } cases[] = {
        {"", ""},
        {" ; ;; ", ""},
        {"a=1", "[a|1]"},
        {" a = 1 , 2 ;\tb=\n;;c=", "[a|1,2][b|][c|]"},
        {"=5", "[|5]"},
        {"a==1;b=x=y", "[a|=1][b|x=y]"},
        {"events=touch@5,sample", "[events|touch@5,sample]"},
    };
    for (const auto& c : cases) {
        const auto items = SplitScript(c.script);
        ASSERT_TRUE(items) << c.script;
        EXPECT_EQ(Joined(*items), c.items) << c.script;
    }
}

TEST(SplitScript, AnItemWithoutEqualsSignSpoilsTheScript) {
    for (const char* script : {"a", "a=1;b", "a=1; b ;c=2", "x;a=1"}) EXPECT_FALSE(SplitScript(script)) << script;
}

TEST(ParseSignedNumber, NegativeDecimalsAndHexadecimalPatterns) {
    const struct {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"0", 0},
        {"-0", 0},
        {"-11", -11},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"0x80070057", static_cast<int32_t>(0x80070057u)},
        {"0xFFFFFFFF", -1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"-0x5", std::nullopt},
        {"--1", std::nullopt},
        {"-", std::nullopt},
        {"", std::nullopt},
        {"1-", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSignedNumber(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace simsdk
