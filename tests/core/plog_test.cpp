#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "plog/Log.h"
#include "plog/RecordBatch.h"
#include "temp_dir.h"

namespace {

TEST(PlogLayer, FileMatchesTheTextLayoutByteForByte) {
    ScopedTempDir dir;
    {
        plog::RollingFileAppender<plog::TxtFormatter, plog::UTF8Converter> appender("layout.log", 0, 0);
        const plog::RecordTime morning{2026, 1, 5, 7, 8, 9, 4};
        const plog::RecordTime evening{2026, 12, 31, 23, 59, 58, 999};
        appender.write(plog::Record(plog::debug, "FK_Unpack", 120, morning, 42).ref() << "End result=" << 1);
        appender.write(plog::Record(plog::error, "checkJSON", 7, evening, 3) << "JSON Exception: " << L"caf\u00e9");
        appender.write(plog::Record(plog::info, "main", 1, morning, 1) << "x");
        appender.write(plog::Record(plog::warning, "main", 2, morning, 1) << "w");
        appender.write(plog::Record(plog::verbose, "main", 3, morning, 1) << "v");
        appender.write(plog::Record(plog::fatal, "main", 4, morning, 1) << "f");
        // The edges of each field: widths, a negative line, the widest thread id.
        const plog::RecordTime early{987, 1, 1, 0, 0, 0, 0};
        appender.write(plog::Record(plog::debug, nullptr, -12, early, 18446744073709551615ull) << "");
        appender.write(plog::Record(plog::info, "f", 0, evening, 0) << "z");
    }
    EXPECT_EQ(FileText("layout.log"),
              "\xEF\xBB\xBF"
              "2026-01-05 07:08:09.004 DEBUG [42] [FK_Unpack@120] End result=1\n"
              "2026-12-31 23:59:58.999 ERROR [3] [checkJSON@7] JSON Exception: caf\xC3\xA9\n"
              "2026-01-05 07:08:09.004 INFO  [1] [main@1] x\n"
              "2026-01-05 07:08:09.004 WARN  [1] [main@2] w\n"
              "2026-01-05 07:08:09.004 VERB  [1] [main@3] v\n"
              "2026-01-05 07:08:09.004 FATAL [1] [main@4] f\n"
              "987-01-01 00:00:00.000 DEBUG [18446744073709551615] [@-12] \n"
              "2026-12-31 23:59:58.999 INFO  [0] [f@0] z\n");
}

TEST(PlogLayer, AppendsWithoutASecondByteOrderMark) {
    ScopedTempDir dir;
    const plog::RecordTime t{2026, 2, 3, 4, 5, 6, 7};
    for (int run = 0; run < 2; ++run) {
        plog::RollingFileAppender<plog::TxtFormatter> appender("again.log", 0, 0);
        appender.write(plog::Record(plog::info, "main", 9, t, 5) << "run " << run);
    }
    EXPECT_EQ(FileText("again.log"),
              "\xEF\xBB\xBF"
              "2026-02-03 04:05:06.007 INFO  [5] [main@9] run 0\n"
              "2026-02-03 04:05:06.007 INFO  [5] [main@9] run 1\n");
}

// Two programs may log to one file at once (a second updater run reporting
// that it found the first at work); neither may lose or overwrite records.
TEST(PlogLayer, TwoWritersOfOneFileBothAppend) {
    ScopedTempDir dir;
    const plog::RecordTime t{2026, 3, 4, 5, 6, 7, 8};
    {
        plog::RollingFileAppender<plog::TxtFormatter> first("shared.log", 0, 0);
        plog::RollingFileAppender<plog::TxtFormatter> second("shared.log", 0, 0);
        for (int i = 0; i < 3; ++i) {
            first.write(plog::Record(plog::info, "first", i, t, 1) << "one " << i);
            second.write(plog::Record(plog::info, "second", i, t, 2) << "two " << i);
        }
    }
    std::string expected = "\xEF\xBB\xBF";
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        expected += "2026-03-04 05:06:07.008 INFO  [1] [first@" + n + "] one " + n + "\n";
        expected += "2026-03-04 05:06:07.008 INFO  [2] [second@" + n + "] two " + n + "\n";
    }
    EXPECT_EQ(FileText("shared.log"), expected);
}

TEST(PlogLayer, KeepsAppendingPastTwoGigabytes) {
    ScopedTempDir dir;
    const uintmax_t big = 2200000000u;  // sparse: past what a 32-bit file offset holds
    { std::ofstream("big.log") << "x"; }
    std::filesystem::resize_file("big.log", big);
    {
        plog::RollingFileAppender<plog::TxtFormatter> appender("big.log", 0, 0);
        appender.write(plog::Record(plog::info, "main", 1, plog::RecordTime{2026, 1, 2, 3, 4, 5, 6}, 7) << "late");
    }
    const std::string line = "2026-01-02 03:04:05.006 INFO  [7] [main@1] late\n";
    EXPECT_EQ(std::filesystem::file_size("big.log"), big + line.size());
}

TEST(PlogLayer, NothingIsOpenedBeforeTheFirstRecord) {
    ScopedTempDir dir;
    plog::RollingFileAppender<plog::TxtFormatter> appender("lazy.log", 0, 0);
    EXPECT_FALSE(std::filesystem::exists("lazy.log"));
}

// The macros write through logger instance 3 so that this test owns it alone.
void LogThreeSeverities() {
    PLOG_(3, plog::error) << "kept error";
    PLOG_(3, plog::debug) << "kept debug";
    PLOG_(3, plog::verbose) << "dropped verbose";
}

TEST(PlogLayer, MacrosCarryTheFunctionAndSkipSeveritiesAboveTheLevel) {
    ScopedTempDir dir;
    LogThreeSeverities();  // no logger yet: nothing happens
    {
        plog::RollingFileAppender<plog::TxtFormatter> appender("macro.log");
        plog::Logger<3> logger(plog::debug);
        logger.addAppender(&appender);
        LogThreeSeverities();
    }
    const std::regex layout(
        "\xEF\xBB\xBF"
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ERROR \\[\\d+\\] \\[LogThreeSeverities@\\d+\\] kept error\n"
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} DEBUG \\[\\d+\\] \\[LogThreeSeverities@\\d+\\] kept "
        "debug\n");
    const std::string text = FileText("macro.log");
    EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

// Records of a batch reach the file when the outermost batch ends, all of them
// and in order; records outside a batch are written at once.
TEST(PlogLayer, ABatchWritesItsRecordsWhenItEnds) {
    ScopedTempDir dir;
    const plog::RecordTime t{2026, 4, 5, 6, 7, 8, 9};
    plog::RollingFileAppender<plog::TxtFormatter> appender("batch.log", 0, 0);
    auto record = [&](int line) { appender.write(plog::Record(plog::debug, "FK_VerifyMatch", line, t, 2) << "r"); };
    record(1);
    const std::string first = FileText("batch.log");
    {
        plog::RecordBatch outer;
        record(2);
        {
            plog::RecordBatch inner;
            record(3);
        }
        record(4);
        EXPECT_EQ(FileText("batch.log"), first) << "nothing of the batch is written before it ends";
    }
    const std::string line = "2026-04-05 06:07:08.009 DEBUG [2] [FK_VerifyMatch@";
    EXPECT_EQ(FileText("batch.log"), "\xEF\xBB\xBF" + line + "1] r\n" + line + "2] r\n" + line + "3] r\n" + line +
                                         "4] r\n");

    // A batch that grows large is written before it ends, more than once, and
    // each record reaches the file once, whole.
    {
        plog::RecordBatch large;
        for (int i = 0; i < 4000; ++i) record(5);
        EXPECT_GT(FileText("batch.log").size(), 128u * 1024);
    }
    const std::string text = FileText("batch.log");
    size_t large = 0;
    for (size_t at = text.find(line + "5] r\n"); at != std::string::npos; at = text.find(line + "5] r\n", at + 1)) {
        ++large;
    }
    EXPECT_EQ(large, 4000u);
    EXPECT_EQ(text.size(), first.size() + 3 * (line.size() + 5) + 4000 * (line.size() + 5));
}

}  // namespace
