// The operation log cannot break an operation: with the log file locked by
// another process, read-only, or impossible to make, both libraries' captures
// and matches answer as usual; only records are lost, and once the obstacle
// is gone they reach the log again. Each test runs the library in a client
// process of its own, started after the obstacle is in place: this program
// never loads a library, so that it never holds the log open itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "log_client.h"
#include "plog/Appenders/RollingFileAppender.h"
#include "window_probe.h"

namespace {

// Both captures made templates, and they matched.
constexpr char kNormalAnswer[] = "captured 1 1 matched 1 success 1";

struct Library {
    const char* file;
    const char* matchRecord;  // what a match writes to the log
    const char* sdkFile;      // the reader SDK library it imports
};

std::ostream& operator<<(std::ostream& out, const Library& library) {
    return out << library.file;
}

// Beyond the time after which a library tries a log it could not open again.
void WaitForTheNextAttempt() {
    std::this_thread::sleep_for(plog::util::LogFile::kReopenInterval + std::chrono::milliseconds(200));
}

// The log opened by this process without sharing, as another program might.
class LockedLog {
public:
    LockedLog()
        : m_file(CreateFileA(OperationLogPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr)) {}
    bool locked() const { return static_cast<bool>(m_file); }
    size_t size() const {
        LARGE_INTEGER size{};
        return GetFileSizeEx(m_file.get(), &size) ? static_cast<size_t>(size.QuadPart) : 0;
    }
    void unlock() { m_file = win32::UniqueHandle(); }

private:
    win32::UniqueHandle m_file;
};

// The log file marked read-only while this lives.
class ReadOnlyLog {
public:
    ReadOnlyLog() {
        // Made first when missing, so that there is a file to mark.
        win32::UniqueHandle made(CreateFileA(OperationLogPath().c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        m_marked = made && SetFileAttributesA(OperationLogPath().c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~ReadOnlyLog() { release(); }
    ReadOnlyLog(const ReadOnlyLog&) = delete;
    ReadOnlyLog& operator=(const ReadOnlyLog&) = delete;
    bool marked() const { return m_marked; }
    void release() {
        if (m_marked) SetFileAttributesA(OperationLogPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        m_marked = false;
    }

private:
    bool m_marked = false;
};

// A folder in the log file's place, which no library can open as its log: the
// log is put aside meanwhile and comes back afterwards.
class LogReplacedByFolder {
public:
    LogReplacedByFolder() : m_aside(OperationLogPath() + ".aside") {
        const std::string log = OperationLogPath();
        m_movedAside = MoveFileExA(log.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        m_replaced = CreateDirectoryA(log.c_str(), nullptr) != 0;
    }
    ~LogReplacedByFolder() { release(); }
    LogReplacedByFolder(const LogReplacedByFolder&) = delete;
    LogReplacedByFolder& operator=(const LogReplacedByFolder&) = delete;
    bool replaced() const { return m_replaced; }
    void release() {
        if (m_replaced) RemoveDirectoryA(OperationLogPath().c_str());
        if (m_movedAside) MoveFileExA(m_aside.c_str(), OperationLogPath().c_str(), 0);
        m_replaced = m_movedAside = false;
    }

private:
    std::string m_aside;
    bool m_movedAside = false;
    bool m_replaced = false;
};

class OperationLogFaults : public ::testing::TestWithParam<Library> {
protected:
    void SetUp() override {
        // Whatever an interrupted run left in the log's place goes first.
        const std::string log = OperationLogPath();
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(log.c_str());
    }
};

TEST_P(OperationLogFaults, ALogLockedByAnotherProcessLosesRecordsOnly) {
    LockedLog lock;
    ASSERT_TRUE(lock.locked()) << "cannot lock " << OperationLogPath() << ": error " << GetLastError();
    const size_t before = lock.size();
    LogClient client(GetParam().file);
    ASSERT_TRUE(client.started()) << GetLastError();

    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_EQ(lock.size(), before) << "nothing could be written while the log was locked";

    lock.unlock();
    WaitForTheNextAttempt();
    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_NE(OperationLogSince(before).find(GetParam().matchRecord), std::string::npos)
        << "once the lock is gone, records reach the log again";
}

// Windows refuses to write to a read-only file; Wine, run by root, writes all
// the same. Either way the operations answer as usual, and records reach the
// log once the mark is gone.
TEST_P(OperationLogFaults, AReadOnlyLogLeavesOperationsAlone) {
    ReadOnlyLog readOnly;
    ASSERT_TRUE(readOnly.marked()) << "cannot mark " << OperationLogPath() << " read-only: error " << GetLastError();
    LogClient client(GetParam().file);
    ASSERT_TRUE(client.started()) << GetLastError();

    EXPECT_EQ(client.run(), kNormalAnswer);

    readOnly.release();
    WaitForTheNextAttempt();
    const size_t before = OperationLogSize();
    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_NE(OperationLogSince(before).find(GetParam().matchRecord), std::string::npos);
}

TEST_P(OperationLogFaults, ALogThatCannotBeMadeLosesRecordsOnly) {
    LogReplacedByFolder folder;
    ASSERT_TRUE(folder.replaced()) << "cannot put a folder in place of " << OperationLogPath() << ": error "
                                   << GetLastError();
    LogClient client(GetParam().file);
    ASSERT_TRUE(client.started()) << GetLastError();

    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_EQ(GetFileAttributesA(OperationLogPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);

    folder.release();
    WaitForTheNextAttempt();
    const size_t before = OperationLogSize();
    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_NE(OperationLogSince(before).find(GetParam().matchRecord), std::string::npos)
        << "once the log can be made, records reach it";
}

// Over our simulated reader a library says so, once in a process and at its
// first operation, never while it is being loaded.
TEST_P(OperationLogFaults, ASimulatedReaderIsNamedOnceAtTheFirstOperation) {
    const size_t before = OperationLogSize();
    LogClient client(GetParam().file);
    ASSERT_TRUE(client.started()) << GetLastError();
    const std::string warning = std::string(GetParam().sdkFile) + " is a simulated reader, for tests only";
    EXPECT_EQ(OperationLogSince(before).find(warning), std::string::npos) << "not at load";

    EXPECT_EQ(client.run(), kNormalAnswer);
    EXPECT_EQ(client.run(), kNormalAnswer);
    const std::string records = OperationLogSince(before);
    const size_t first = records.find(warning);
    ASSERT_NE(first, std::string::npos) << records;
    const size_t newline = records.rfind('\n', first);
    const std::string line = records.substr(newline == std::string::npos ? 0 : newline + 1);
    EXPECT_NE(line.substr(0, line.find(warning)).find(" WARN  ["), std::string::npos) << "a warning record: " << line;
    EXPECT_EQ(records.find(warning, first + 1), std::string::npos) << "once in a process";
}

INSTANTIATE_TEST_SUITE_P(Libraries, OperationLogFaults,
                         ::testing::Values(Library{"fpbridge_nbio.dll", "[FK_Unpack@", "NBioBSP.dll"},
                                           Library{"fpbridge_dpfp.dll", "[FK_VerifyMatch@", "DPFPApi.dll"}),
                         [](const auto& testCase) {
                             return std::string(testCase.param.file).substr(9, 4);  // "nbio", "dpfp"
                         });

}  // namespace
