#include "command_line.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* title;
    std::vector<std::string> args;
    RunMode mode;
    bool showVersion;
    std::string url;
    std::string version;
    std::string logLevel;
    bool runnable;
};

class ParseCommandLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLine, GivesModeValuesAndValidity) {
    const ParseCase& c = GetParam();
    const CommandLine parsed = parseCommandLine(c.args);
    EXPECT_EQ(parsed.mode, c.mode);
    EXPECT_EQ(parsed.showVersion, c.showVersion);
    if (!c.showVersion) {
        EXPECT_EQ(parsed.url, c.url);
        EXPECT_EQ(parsed.version, c.version);
        EXPECT_EQ(parsed.logLevel, c.logLevel);
        EXPECT_EQ(isRunnable(parsed), c.runnable);
    }
}

const ParseCase kParseCases[] = {
    {"check", {"-check", "u", "-version", "1.0"}, RunMode::check, false, "u", "1.0", "verbose", true},
    {"upper_case_options", {"-CHECK", "u", "-VERSION", "1.0"}, RunMode::check, false, "u", "1.0", "verbose", true},
    {"mixed_case_options",
     {"-ChEcK", "u", "-Version", "1.0", "-LoG", "Info"},
     RunMode::check,
     false,
     "u",
     "1.0",
     "Info",
     true},
    {"version_first", {"-v", "-check", "x"}, RunMode::none, true, "", "", "", false},
    {"version_last", {"-check", "u", "-v"}, RunMode::check, true, "", "", "", false},
    {"version_upper", {"-V"}, RunMode::none, true, "", "", "", false},
    {"check_without_version", {"-check", "u"}, RunMode::check, false, "u", "", "verbose", false},
    {"blank_version", {"-check", "u", "-version", " \t\r\n\v\f"}, RunMode::check, false, "u", "", "verbose", false},
    {"update_skips_next", {"-update", "-log", "debug"}, RunMode::update, false, "", "", "verbose", true},
    {"update_skips_a_following_v", {"-update", "-v"}, RunMode::update, false, "", "", "verbose", true},
    {"update_wins_when_first",
     {"-update", "x", "-check", "u", "-version", "1.0"},
     RunMode::update,
     false,
     "",
     "",
     "verbose",
     true},
    {"check_wins_when_first",
     {"-check", "u", "-version", "1.0", "-update", "x"},
     RunMode::check,
     false,
     "u",
     "1.0",
     "verbose",
     true},
    {"check_last_ends_scan", {"-check"}, RunMode::none, false, "", "", "verbose", false},
    {"log_last_ends_scan", {"-log"}, RunMode::none, false, "", "", "verbose", false},
    {"log_in_update_mode", {"-update", "x", "-log", "error"}, RunMode::update, false, "", "", "error", true},
    {"blanks_trimmed",
     {"-check", "  http://h/u.json \t", "-version", " 1.2 "},
     RunMode::check,
     false,
     "http://h/u.json",
     "1.2",
     "verbose",
     true},
    {"log_not_trimmed", {"-log", " info"}, RunMode::none, false, "", "", " info", false},
    {"unknown_ignored",
     {"--check", "check", "-checks", "u", "-version", "2"},
     RunMode::check,
     false,
     "",
     "2",
     "verbose",
     false},
    {"prefix_is_not_option", {"-ver", "1", "-vv"}, RunMode::none, false, "", "", "verbose", false},
    {"value_can_look_like_option",
     {"-check", "-v", "-version", "1"},
     RunMode::check,
     false,
     "-v",
     "1",
     "verbose",
     true},
    {"nothing", {}, RunMode::none, false, "", "", "verbose", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ParseCommandLine, ::testing::ValuesIn(kParseCases),
                         [](const auto& testCase) { return std::string(testCase.param.title); });

TEST(SeverityFromLevel, FirstLetterChoosesAndAnythingElseSilences) {
    const std::pair<const char*, plog::Severity> cases[] = {
        {"fatal", plog::fatal},   {"Error", plog::error}, {"w", plog::warning},  {"INFO", plog::info},
        {"debug", plog::debug},   {"v", plog::verbose},   {"Vx", plog::verbose}, {"verbose", plog::verbose},
        {"x", plog::none},        {"", plog::none},       {" info", plog::none}, {"none", plog::none},
        {"\xC3\xA9", plog::none},
    };
    for (const auto& [level, severity] : cases) EXPECT_EQ(severityFromLevel(level), severity) << level;
}

}  // namespace
