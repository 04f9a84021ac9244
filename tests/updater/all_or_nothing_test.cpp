// Update runs that fail part way: the installation ends with exactly the
// files it had, the prepared files are back in the temp folder for a later
// run, and the agent runs again.
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <functional>
#include <map>

#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

// The regular files of a folder with their content (a program's content by
// its size and hash, to keep failure output readable); the log and the agent
// fixture's own record of its starts change with every run and are left out.
std::map<std::string, std::string> contentOf(const fs::path& folder) {
    std::map<std::string, std::string> content;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name == "quorvelant_updater.log" || name == "agent.starts") continue;
        if (!fs::is_regular_file(entry.status())) continue;
        const std::string bytes = readFile(entry.path());
        content[name] = bytes.size() < 100 ? bytes
                                           : std::to_string(bytes.size()) + " bytes, hash " +
                                                 std::to_string(std::hash<std::string>()(bytes));
    }
    return content;
}

class AllOrNothing : public UpdaterProcess {
protected:
    // Runs an update that must fail while held (when given) is held open by
    // another program, and checks everything it must leave as it was.
    void expectFailedUpdateChangesNothing(const fs::path& held = fs::path()) {
        const auto installed = contentOf(install());
        const auto prepared = contentOf(temp());
        const size_t starts = agentStarts().size();
        fs::remove(install() / "quorvelant_updater.log");
        {
            const UniqueHandle lock = held.empty() ? UniqueHandle() : lockFile(held);
            ASSERT_TRUE(held.empty() || lock);
            EXPECT_EQ(run({"-update", "x"}).exitCode, 1u) << logDump();
        }
        EXPECT_EQ(contentOf(install()), installed) << logDump();
        EXPECT_EQ(contentOf(temp()), prepared);
        EXPECT_TRUE(logged(plog::error, "main", "Could not update files!"));
        EXPECT_TRUE(logged(plog::debug, "main", "KAVRO Quorvelant started!"));
        ASSERT_TRUE(waitForStarts(starts + 1)) << "the agent was not started again";
        EXPECT_TRUE(agentRunning(agentStarts().back()));
    }

    void prepareFiveFiles() {
        fs::create_directories(temp());
        for (int i = 1; i <= 5; ++i) {
            const std::string name = "f" + std::to_string(i) + ".dll";
            writeFile(install() / name, "old " + name);
            writeFile(temp() / name, "new " + name);
        }
    }
};

// The Nth file cannot be replaced because some program holds it: the
// installed file (as a running agent holds its libraries), or the prepared
// one (as a virus scanner might).
TEST_F(AllOrNothing, FailingTheNthOfFiveFilesPutsEverythingBack) {
    startAgent();
    prepareFiveFiles();
    for (const char* held : {"install", "temp"}) {
        for (int failing = 1; failing <= 5; ++failing) {
            SCOPED_TRACE(std::string("held in ") + held + ": file " + std::to_string(failing));
            const fs::path folder = std::string(held) == "install" ? install() : temp();
            expectFailedUpdateChangesNothing(folder / ("f" + std::to_string(failing) + ".dll"));
            for (int i = 1; i < failing; ++i) {
                EXPECT_TRUE(
                    logged(plog::debug, "restoreFiles", "Restoring file \"f" + std::to_string(i) + ".dll\" ..."));
            }
        }
    }
    // Once nothing holds them, the same prepared files install.
    EXPECT_EQ(run({"-update", "x"}).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(install() / "f5.dll"), "new f5.dll");
}

// The agent holds its library until it has ended, which may be a while after
// taskkill has returned: the update waits for that.
TEST_F(AllOrNothing, AFileTheStoppedAgentHeld) {
    writeFile(install() / "agent.dll", "old library");
    startAgent();
    fs::create_directories(temp());
    writeFile(temp() / "agent.dll", "new library");
    EXPECT_EQ(run({"-update", "x"}).exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(install() / "agent.dll"), "new library");
    ASSERT_TRUE(waitForStarts(2));
}

// The updater holds its own log open while it works; a package that carries
// a file of that name cannot replace it.
TEST_F(AllOrNothing, ATargetHeldByTheUpdatersOwnLog) {
    startAgent();
    fs::create_directories(temp());
    writeFile(temp() / "a.dll", "new a");
    writeFile(temp() / "quorvelant_updater.log", "a log from elsewhere");
    expectFailedUpdateChangesNothing();
    EXPECT_TRUE(logged(plog::debug, "restoreFiles", "Restoring file \"a.dll\" ..."));
    EXPECT_TRUE(loggedPrefix("Starting to update"));
}

}  // namespace
