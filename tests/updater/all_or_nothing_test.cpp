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
    // another program (sharing what share allows), and checks everything it
    // must leave as it was.
    void expectFailedUpdateChangesNothing(const fs::path& held = fs::path(), DWORD share = 0) {
        const auto installed = contentOf(install());
        const auto prepared = contentOf(temp());
        const size_t starts = agentStarts().size();
        fs::remove(install() / "quorvelant_updater.log");
        {
            const win32::UniqueHandle lock = held.empty() ? win32::UniqueHandle() : lockFile(held, share);
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
        ASSERT_TRUE(writeSeal(temp(), "2.0"));
    }
};

// The Nth file cannot be replaced because some program holds it: the
// installed file, so that it cannot even be read, or the prepared one, read
// but not moved (as a virus scanner might hold it).
TEST_F(AllOrNothing, FailingTheNthOfFiveFilesPutsEverythingBack) {
    startAgent();
    prepareFiveFiles();
    for (const char* held : {"install", "temp"}) {
        for (int failing = 1; failing <= 5; ++failing) {
            SCOPED_TRACE(std::string("held in ") + held + ": file " + std::to_string(failing));
            const bool inTemp = std::string(held) == "temp";
            expectFailedUpdateChangesNothing((inTemp ? temp() : install()) / ("f" + std::to_string(failing) + ".dll"),
                                             inTemp ? FILE_SHARE_READ : 0);
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
    ASSERT_TRUE(writeSeal(temp(), "2.0"));
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
    ASSERT_TRUE(writeSeal(temp(), "2.0"));
    expectFailedUpdateChangesNothing();
    EXPECT_TRUE(logged(plog::debug, "restoreFiles", "Restoring file \"a.dll\" ..."));
    EXPECT_TRUE(loggedPrefix("Starting to update"));
}

// A package that carries the updater itself: the running program cannot be
// replaced, but it can move aside to its backup name, and the new one takes
// its place. A program held as Windows holds a running one (read and delete
// shared, nothing else) stands in for it where Wine lets a running program be
// replaced outright.
TEST_F(AllOrNothing, APackageThatCarriesTheUpdaterItself) {
    startAgent();
    fs::copy_file(unkeyedUpdater(), install() / "quorvelant_updater.exe");
    fs::create_directories(temp());
    writeFile(temp() / "quorvelant_updater.exe", "the next updater");
    writeFile(temp() / "agent.dll", "new library");
    writeFile(install() / "agent.dll", "old library");
    ASSERT_TRUE(writeSeal(temp(), "2.0"));
    const std::string running = readFile(install() / "quorvelant_updater.exe");
    RunResult result;
    {
        const win32::UniqueHandle held = lockFile(install() / "agent.dll", FILE_SHARE_READ | FILE_SHARE_DELETE);
        ASSERT_TRUE(held);
        result = finish(launch({"-update", "x"}, "", install() / "quorvelant_updater.exe"));
    }
    EXPECT_EQ(result.exitCode, 0u) << logDump();
    EXPECT_EQ(readFile(install() / "quorvelant_updater.exe"), "the next updater");
    EXPECT_EQ(readFile(install() / "agent.dll"), "new library");
    EXPECT_TRUE(loggedPrefix("agent.dll cannot be replaced (")) << logDump();
    std::vector<std::string> backups;
    for (const std::string& name : treeOf(install())) {
        if (name.rfind("quorvelant_updater.exe.", 0) == 0 || name.rfind("agent.dll.", 0) == 0) backups.push_back(name);
    }
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(readFile(install() / backups[0]), "old library");
    EXPECT_EQ(readFile(install() / backups[1]), running);
    ASSERT_TRUE(waitForStarts(2));
}

}  // namespace
