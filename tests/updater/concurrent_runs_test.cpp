// Updater runs that overlap in one installation folder: the first one works,
// any other ends at once without touching anything, and says so in the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <boost/filesystem/operations.hpp>

#include "log_text.h"
#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

class ConcurrentRuns : public UpdaterProcess {
protected:
    std::string busyRecord() {
        return "Another quorvelant_updater is running in " + logText(install()) + "; nothing done.";
    }
    size_t busyRecords() {
        const auto lines = logLines();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const LogLine& line) {
            return line.severity == "ERROR" && line.function == "main" && line.message == busyRecord();
        }));
    }
};

TEST_F(ConcurrentRuns, TwoChecksStartedTogetherRunOnce) {
    // The slow manifest keeps the first run at work while the second starts.
    server.script("/update.json", {200, manifest("1.2.4"), false, 2000});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}})});
    const Launched first = launch(checkArgs("1.2.3"), "1");
    const Launched second = launch(checkArgs("1.2.3"), "2");
    const RunResult firstResult = finish(first);
    const RunResult secondResult = finish(second);
    std::vector<DWORD> codes{firstResult.exitCode, secondResult.exitCode};
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<DWORD>{0, kExitMinusOne})) << logDump();
    EXPECT_EQ(server.requestsFor("/update.json"), 1);
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));
    EXPECT_EQ(busyRecords(), 1u) << logDump();
    EXPECT_TRUE(logged(plog::info, "main", "Checking for updates finished!"));
    EXPECT_FALSE(fs::exists(install() / "quorvelant_updater.lock"));
}

TEST_F(ConcurrentRuns, AnUpdateDuringACheckChangesNothing) {
    startAgent();
    const DWORD runningAgent = agentStarts().at(0);
    server.script("/update.json", {200, manifest("1.2.4"), false, 3000});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}})});
    const Launched check = launch(checkArgs("1.2.3"), "check");
    for (int i = 0; i < 400 && server.requestsFor("/update.json") == 0; ++i) Sleep(25);
    ASSERT_EQ(server.requestsFor("/update.json"), 1) << "the check did not start";

    const RunResult update = run({"-update", "x"});
    EXPECT_EQ(update.exitCode, kExitMinusOne);
    EXPECT_EQ(busyRecords(), 1u) << logDump();
    EXPECT_FALSE(loggedPrefix("Starting to update")) << logDump();
    EXPECT_TRUE(agentRunning(runningAgent)) << "the agent was stopped";
    EXPECT_EQ(agentStarts().size(), 1u);
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");

    EXPECT_EQ(finish(check).exitCode, 0u) << logDump();
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));
    EXPECT_EQ(readFile(temp() / "a.dll"), "new a");
}

}  // namespace
