// The log layer never breaks the operation that logs: a file that cannot be
// opened, a piece of a record or a formatter that throws (no memory) loses
// records, never the operation.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <ostream>
#include <thread>

#include "plog/Log.h"
#include "plog/RecordBatch.h"
#include "temp_dir.h"

namespace {

const plog::RecordTime kTime{2026, 5, 6, 7, 8, 9, 10};

plog::Record Line(int line) {
    return plog::Record(plog::info, "main", line, kTime, 1).ref() << "r";
}

std::string Expected(int line) {
    return "2026-05-06 07:08:09.010 INFO  [1] [main@" + std::to_string(line) + "] r\n";
}

// The folder of the log is missing at first: records are lost, and the file
// is not tried again at every record, but once the folder is there and the
// interval has passed, records reach it.
TEST(PlogFaults, AFileThatCannotBeOpenedIsTriedAgainAfterAWhile) {
    ScopedTempDir dir;
    plog::RollingFileAppender<plog::TxtFormatter> appender("later/late.log", 0, 0);
    appender.write(Line(1));
    std::filesystem::create_directory("later");
    appender.write(Line(2));
    EXPECT_FALSE(std::filesystem::exists("later/late.log")) << "tried again at once";

    std::this_thread::sleep_for(plog::util::LogFile::kReopenInterval + std::chrono::milliseconds(100));
    appender.write(Line(3));
    appender.write(Line(4));
    EXPECT_EQ(FileText("later/late.log"), "\xEF\xBB\xBF" + Expected(3) + Expected(4));
}

#ifndef _WIN32
// /dev/full answers every write with "no space left on the device".
TEST(PlogFaults, AFullDiskLosesRecordsWithoutWaiting) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    plog::RollingFileAppender<plog::TxtFormatter> appender("/dev/full", 0, 0);
    for (int line = 1; line <= 3; ++line) EXPECT_NO_THROW(appender.write(Line(line)));
}
#endif

struct OutOfMemory {};
std::ostream& operator<<(std::ostream&, const OutOfMemory&) {
    throw std::bad_alloc();
}

TEST(PlogFaults, APieceThatCannotBeAddedIsLeftOut) {
    plog::Record record(plog::debug, "FK_VerifyMatch", 1, kTime, 1);
    EXPECT_NO_THROW(record << "before " << OutOfMemory{} << "after");
    EXPECT_EQ(record.getMessage(), "before after");
}

class FailingFormatter {
public:
    static std::string header() { return std::string(); }
    static std::string format(const plog::Record&) { throw std::bad_alloc(); }
    static void formatTo(const plog::Record&, std::string& out) {
        out += "half a record";
        throw std::bad_alloc();
    }
};

class FailingAppender : public plog::IAppender {
public:
    void write(const plog::Record&) override { throw std::bad_alloc(); }
};

// Logger instance 5 belongs to this test alone.
void LogThroughInstanceFive() {
    PLOG_(5, plog::info) << "kept";
}

TEST(PlogFaults, AnAppenderThatFailsLosesTheRecordToItselfAlone) {
    ScopedTempDir dir;
    FailingAppender failing;
    plog::RollingFileAppender<FailingFormatter> unformattable("unformattable.log");
    plog::RollingFileAppender<plog::TxtFormatter> file("kept.log");
    plog::Logger<5> logger(plog::debug);
    logger.addAppender(&failing).addAppender(&unformattable).addAppender(&file);
    EXPECT_NO_THROW(LogThroughInstanceFive());
    EXPECT_NE(FileText("kept.log").find("kept\n"), std::string::npos);
    EXPECT_EQ(FileText("unformattable.log"), "");

    // Inside a batch, what a failing record had laid out is not held: the
    // records before it still come, whole and in order.
    plog::RollingFileAppender<FailingFormatter> failingFirst("after.log");
    {
        plog::RecordBatch batch;
        file.write(Line(1));
        failingFirst.write(Line(2));
        file.write(Line(3));
    }
    EXPECT_EQ(FileText("after.log"), "");
    const std::string kept = FileText("kept.log");
    EXPECT_EQ(kept.substr(kept.size() - 2 * Expected(1).size()), Expected(1) + Expected(3));
}

}  // namespace
