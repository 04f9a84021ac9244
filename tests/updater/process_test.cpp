// quorvelant_updater.exe as a process: command line, check and update runs.
#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <regex>

#include "file_update.h"
#include "log_text.h"
#include "temp_folder.h"
#include "tzip.h"
#include "updater_process.h"

namespace fs = boost::filesystem;

namespace {

const char kBanner[] = "KAVRO Quorvelant Updater Version: 1.0\r\n";

TEST_F(UpdaterProcess, NoArgumentsEndsAtOnceWithMinusOne) {
    const RunResult result = run({});
    EXPECT_EQ(result.exitCode, kExitMinusOne);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_FALSE(hasLog());
}

TEST_F(UpdaterProcess, VersionOptionPrintsTheBannerWhereverItIs) {
    const std::vector<std::vector<std::string>> cases = {
        {"-v", "-check", "x"}, {"-check", "u", "-v"}, {"-V"}, {"-update", "x", "-log", "info", "-v"}};
    for (const auto& args : cases) {
        const RunResult result = run(args);
        EXPECT_EQ(result.exitCode, 0u) << args[0];
        EXPECT_EQ(result.out, kBanner);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_FALSE(hasLog());
}

TEST_F(UpdaterProcess, IncompleteCheckOptionsAreNotValid) {
    const std::vector<std::vector<std::string>> cases = {
        {"-check", "u"}, {"-check", "u", "-version", "   "}, {"-version", "1.0"}, {"-check"}, {"-log", "info"}};
    for (const auto& args : cases) {
        fs::remove(install() / "quorvelant_updater.log");
        const RunResult result = run(args);
        EXPECT_EQ(result.exitCode, kExitMinusOne) << args[0];
        const auto lines = logLines();
        ASSERT_EQ(lines.size(), 1u) << logDump();
        EXPECT_TRUE(logged(plog::error, "main", "No valid option passed!"));
    }
}

TEST_F(UpdaterProcess, UnknownLogLevelWritesNoRecordAndKeepsExitCodes) {
    EXPECT_EQ(run({"-log", "x", "-check", "u"}).exitCode, kExitMinusOne);
    server.script("/update.json", {200, manifest("1.2.4")});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}})});
    EXPECT_EQ(run({"-log", "x", "-check", server.url("/update.json"), "-version", "1.2.3"}).exitCode, 0u);
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));
    EXPECT_FALSE(hasLog());
}

TEST_F(UpdaterProcess, LogLevelLimitsRecords) {
    server.script("/update.json", {200, manifest("1.2.3")});
    EXPECT_EQ(run(std::vector<std::string>{"-log", "Info"} + checkArgs("1.2.3")).exitCode, kExitMinusOne);
    for (const LogLine& line : logLines()) EXPECT_NE(line.severity, "DEBUG") << line.message;
    EXPECT_TRUE(logged(plog::error, "main", "Update not available!"));
}

TEST_F(UpdaterProcess, UpdateSkipsTheArgumentAfterItAndNeedsARunningAgent) {
    fs::create_directory(temp());
    writeFile(temp() / "a.dll", "new a");
    ASSERT_TRUE(writeSeal(temp(), "1.2.4"));
    const RunResult result = run({"-update", "-log", "error"});
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(logged(plog::info, "main", "Starting to update KAVRO Quorvelant"));
    EXPECT_TRUE(logged(plog::debug, "main", "Installing version 1.2.4 as its check prepared it"));
    EXPECT_TRUE(logged(plog::debug, "main", "Finishing quorvelant.exe ..."));
    EXPECT_TRUE(logged(plog::debug, "main", "quorvelant.exe could not be finished!"));
    EXPECT_EQ(logLines().size(), 4u) << logDump();
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");
    EXPECT_EQ(treeOf(install()), (std::vector<std::string>{"a.dll", "b.txt", "quorvelant.exe", "quorvelant_updater.log",
                                                           "temp", "temp/a.dll", "temp/prepared.seal"}));
}

TEST_F(UpdaterProcess, FirstModeNamedWins) {
    server.script("/update.json", {200, manifest("1.2.3")});
    EXPECT_EQ(run(std::vector<std::string>{"-update", "x"} + checkArgs("1.0")).exitCode, 1u);
    EXPECT_TRUE(logged(plog::info, "main", "Starting to update KAVRO Quorvelant"));
    EXPECT_EQ(server.requestsFor("/update.json"), 0);

    fs::remove(install() / "quorvelant_updater.log");
    EXPECT_EQ(run(checkArgs("1.2.3") + std::vector<std::string>{"-update", "x"}).exitCode, kExitMinusOne);
    EXPECT_TRUE(logged(plog::error, "main", "Update not available!"));
    EXPECT_FALSE(loggedPrefix("Starting to update"));
}

TEST_F(UpdaterProcess, CheckPreparesExactlyTheChangedTopLevelFiles) {
    fs::create_directories(temp() / "stale-folder");
    writeFile(temp() / "stale.dll", "left by an earlier run");
    server.script("/update.json", {200, manifest("1.2.4")});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"},
                                                 {"b.txt", "same b", false},
                                                 {"c.dll", "not installed"},
                                                 {"sub/", "", false},
                                                 {"sub/a.dll", "nested"},
                                                 {"deep/er/b.txt", "nested without folder entry"}})});
    const std::string url = server.url("/update.json");
    const RunResult result = run({"-CHECK", "  " + url + " \t", "-VERSION", " 1.2.3 "});
    EXPECT_EQ(result.exitCode, 0u) << logDump();
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(treeOf(temp()), (std::vector<std::string>{"a.dll", kSealFileName}));
    EXPECT_EQ(readFile(temp() / "a.dll"), "new a");
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");

    const std::string t = logText(temp());
    EXPECT_TRUE(logged(plog::info, "main", "Checking for updates for KAVRO Quorvelant version 1.2.3 on " + url));
    EXPECT_TRUE(logged(plog::debug, "main", "Cleaning folder " + t));
    EXPECT_TRUE(logged(plog::debug, "checkTempFolder", "Removing file " + logText(temp() / "stale.dll") + " ..."));
    EXPECT_TRUE(logged(plog::debug, "main", "Downloading file " + url + " into " + t));
    EXPECT_TRUE(logged(plog::verbose, "checkJSON", "Update version: 1.2.4"));
    EXPECT_TRUE(logged(plog::debug, "main", "Downloading file " + server.url("/output.zip") + " into " + t));
    EXPECT_TRUE(logged(plog::debug, "main", "Extracting file " + server.url("/output.zip")));
    EXPECT_TRUE(logged(plog::debug, "checkUpdate", "a.dll can be updated!"));
    EXPECT_TRUE(logged(plog::error, "checkUpdate",
                       logText(temp() / "sub") + " is not a file. Deleting " + logText(temp() / "sub") + " ..."));
    EXPECT_TRUE(logged(plog::debug, "main", "Update package ready!"));
    EXPECT_TRUE(logged(plog::info, "main", "Checking for updates finished!"));
}

std::string padded(std::string text, size_t size) {
    text.insert(text.size() - 1, size - text.size(), ' ');
    return text;
}

struct CheckCase {
    const char* title;
    std::string installed;
    std::string manifest;  // "%URL%" stands for the package URL
    int manifestStatus;
    std::vector<ZipEntry> package;
    int packageStatus;
    bool cutPackage;
    DWORD exitCode;
    std::string record;  // the last record's message; %MANIFEST% and %PACKAGE% stand for the URLs
    std::string stderrStart;
    size_t manifestSize = 0;  // when set, the served manifest is padded to this many bytes
};

void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << c.title;
}

class CheckOutcome : public UpdaterProcess, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckOutcome, EndsWithItsExitCodeAndRecord) {
    const CheckCase& c = GetParam();
    std::string manifestText = c.manifest;
    const size_t marker = manifestText.find("%URL%");
    if (marker != std::string::npos) manifestText.replace(marker, 5, server.url("/output.zip"));
    if (c.manifestSize != 0) {
        manifestText = padded(manifestText, c.manifestSize);
        ASSERT_EQ(manifestText.size(), c.manifestSize);
    }
    server.script("/update.json", {c.manifestStatus, manifestText});
    server.script("/output.zip", {c.packageStatus, zipBytes(c.package), c.cutPackage});
    const RunResult result = run(checkArgs(c.installed));
    EXPECT_EQ(result.exitCode, c.exitCode) << logDump() << result.err;
    std::string record = c.record;
    record = std::regex_replace(record, std::regex("%MANIFEST%"), server.url("/update.json"));
    record = std::regex_replace(record, std::regex("%PACKAGE%"), server.url("/output.zip"));
    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().function, "main");
    EXPECT_EQ(lines.back().message, record) << logDump();
    EXPECT_EQ(result.err.rfind(c.stderrStart, 0), 0u) << result.err;
    if (c.stderrStart.empty()) {
        EXPECT_EQ(result.err, "");
    }
    EXPECT_FALSE(fs::exists(temp() / "update.json"));
    EXPECT_FALSE(fs::exists(temp() / "output.zip"));
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");
    EXPECT_EQ(treeOf(scratch.path()).size(), treeOf(install()).size() + 4) << "something was written beside install";
    if (c.exitCode != 0) {
        EXPECT_TRUE(fs::is_empty(temp())) << "a failed check left something to install";
    }
}

const std::string kManifest124 = R"({"latest-version": "1.2.4", "force-update": false, "download-url": "%URL%"})";
const std::vector<ZipEntry> kChangedPackage = {{"a.dll", "new a"}, {"b.txt", "same b"}};

const CheckCase kCheckCases[] = {
    {"newer", "1.2.3", kManifest124, 200, kChangedPackage, 200, false, 0, "Checking for updates finished!", ""},
    {"equal_versions", "1.2.4", kManifest124, 200, kChangedPackage, 200, false, kExitMinusOne, "Update not available!",
     ""},
    {"forced_downgrade", "1.3", R"({"latest-version": "1.2", "force-update": true, "download-url": "%URL%"})", 200,
     kChangedPackage, 200, false, 0, "Checking for updates finished!", ""},
    {"ten_after_nine", "1.9", R"({"latest-version": "1.10", "force-update": false, "download-url": "%URL%"})", 200,
     kChangedPackage, 200, false, 0, "Checking for updates finished!", ""},
    {"malformed_manifest", "1.2.3", R"({"latest-version": "1.2.4", "force-update": "yes")", 200, kChangedPackage, 200,
     false, kExitMinusOne, "Update not available!", ""},
    {"empty_manifest", "1.2.3", "", 200, kChangedPackage, 200, false, kExitMinusOne, "Update not available!", ""},
    {"manifest_of_1024_bytes", "1.2.3", kManifest124, 200, kChangedPackage, 200, false, 0,
     "Checking for updates finished!", "", 1024},
    {"manifest_of_1_MiB", "1.2.3", kManifest124, 200, kChangedPackage, 200, false, 0, "Checking for updates finished!",
     "", 1024 * 1024},
    {"manifest_over_1_MiB", "1.2.3", kManifest124, 200, kChangedPackage, 200, false, kExitMinusOne,
     "Error downloading file %MANIFEST%", "Body too large: 1048577 bytes announced, at most 1048576 taken.",
     1024 * 1024 + 1},
    {"manifest_404", "1.2.3", kManifest124, 404, kChangedPackage, 200, false, kExitMinusOne,
     "Error downloading file %MANIFEST%", "HTTP status: 404."},
    {"manifest_500", "1.2.3", kManifest124, 500, kChangedPackage, 200, false, kExitMinusOne,
     "Error downloading file %MANIFEST%", "HTTP status: 500."},
    {"missing_package", "1.2.3", kManifest124, 200, kChangedPackage, 404, false, kExitMinusOne,
     "Error downloading file %PACKAGE%", "HTTP status: 404."},
    {"half_package", "1.2.3", kManifest124, 200, kChangedPackage, 200, true, kExitMinusOne,
     "Error downloading file %PACKAGE%", "Incomplete body: "},
    {"identical_package",
     "1.2.3",
     kManifest124,
     200,
     {{"a.dll", "old a"}, {"b.txt", "same b"}},
     200,
     false,
     1,
     "Update package not ready!",
     ""},
    {"package_without_entries", "1.2.3", kManifest124, 200, {}, 200, false, 1, "Update package not ready!", ""},
    {"only_folders_and_new_files",
     "1.2.3",
     kManifest124,
     200,
     {{"new/", "", false}, {"new.dll", "n"}},
     200,
     false,
     1,
     "Update package not ready!",
     ""},
    {"hostile_package",
     "1.2.3",
     kManifest124,
     200,
     {{"a.dll", "new a"}, {"../escaped.dll", "evil"}},
     200,
     false,
     kExitMinusOne,
     "Error extracting file temp",
     "Archive entry \"../escaped.dll\""},
    {"drive_letter_package",
     "1.2.3",
     kManifest124,
     200,
     {{"C:\\escaped.dll", "evil"}},
     200,
     false,
     kExitMinusOne,
     "Error extracting file temp",
     "Archive entry \"C:\\escaped.dll\""},
    {"wrong_crc_after_a_good_entry",
     "1.2.3",
     kManifest124,
     200,
     {{"a.dll", "new a"}, {"b.txt", "damaged b", true, true}},
     200,
     false,
     kExitMinusOne,
     "Error extracting file temp",
     ""},
    {"entry_that_cannot_be_created",
     "1.2.3",
     kManifest124,
     200,
     {{"a.dll", "new a"}, {"bad|name.dll", "x"}},
     200,
     false,
     kExitMinusOne,
     "Error extracting file temp",
     ""},
    {"zip_bomb",
     "1.2.3",
     kManifest124,
     200,
     {{"a.dll", "new a"}, {"bomb.dll", std::string(1024, '\0'), true, false, 100ull << 30}},
     200,
     false,
     kExitMinusOne,
     "Error extracting file temp",
     ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckOutcome, ::testing::ValuesIn(kCheckCases),
                         [](const auto& testCase) { return std::string(testCase.param.title); });

TEST_F(UpdaterProcess, UnresolvableHostIsADownloadError) {
    const RunResult result = run({"-check", "http://updates.invalid/update.json", "-version", "1.0"});
    EXPECT_EQ(result.exitCode, kExitMinusOne);
    EXPECT_TRUE(std::regex_match(result.err, std::regex("InternetOpenUrl\\(\\): [0-9]+\\.\r\n"))) << result.err;
    EXPECT_TRUE(logged(plog::error, "main", "Error downloading file http://updates.invalid/update.json"));
    EXPECT_TRUE(fs::is_empty(temp()));
}

// A scheduler may run -update whatever the check's exit code: after a check
// that failed on a damaged entry, it must find nothing to install, and leaves
// the agent running. With "-log error" the log stays where it was: no
// extraction moves the working directory into the temp folder.
TEST_F(UpdaterProcess, UpdateAfterACheckThatFoundADamagedEntryInstallsNothing) {
    server.script("/update.json", {200, manifest("1.2.4")});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "new a"}, {"b.txt", "damaged b", true, true}})});
    EXPECT_EQ(run(std::vector<std::string>{"-log", "error"} + checkArgs("1.2.3")).exitCode, kExitMinusOne);
    EXPECT_TRUE(loggedPrefix("Entry \"b.txt\" of the archive is damaged")) << logDump();
    EXPECT_TRUE(fs::is_empty(temp())) << "no log, nor anything else, in the temp folder";
    startAgent();
    EXPECT_EQ(run({"-update", "x"}).exitCode, 1u);
    EXPECT_TRUE(logged(plog::error, "main", "The prepared package is not as its check sealed it; nothing is installed."))
        << logDump();
    EXPECT_FALSE(loggedPrefix("Finishing quorvelant.exe")) << "the agent is not stopped for nothing";
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");
    EXPECT_EQ(readFile(install() / "b.txt"), "same b");
    EXPECT_TRUE(agentRunning(agentStarts().at(0)));
}

TEST_F(UpdaterProcess, UpdateReplacesFilesKeepsBackupsAndRestartsTheAgent) {
    startAgent();
    const DWORD firstAgent = agentStarts().at(0);
    fs::create_directory(temp());
    writeFile(temp() / "a.dll", "new a");
    writeFile(temp() / "output.zip", "left alone");
    ASSERT_TRUE(writeSeal(temp(), "1.2.4"));
    const RunResult result = run({"-update", "x"});
    EXPECT_EQ(result.exitCode, 0u) << logDump();
    EXPECT_EQ(WaitForSingleObject(agent->get(), 5000), WAIT_OBJECT_0) << "the running agent was not stopped";
    ASSERT_TRUE(waitForStarts(2)) << "the agent was not started again";
    EXPECT_NE(agentStarts()[1], firstAgent);
    EXPECT_TRUE(agentRunning(agentStarts()[1]));

    EXPECT_EQ(readFile(install() / "a.dll"), "new a");
    EXPECT_EQ(readFile(install() / "b.txt"), "same b");
    std::vector<std::string> backups;
    for (const std::string& name : treeOf(install())) {
        if (std::regex_match(name, std::regex("a\\.dll\\.20[0-9]{12}"))) backups.push_back(name);
    }
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(readFile(install() / backups[0]), "old a");
    EXPECT_EQ(treeOf(temp()), std::vector<std::string>{"output.zip"});

    const char* expected[] = {"Starting to update KAVRO Quorvelant",
                              "Installing version 1.2.4 as its check prepared it",
                              "Finishing quorvelant.exe ...",
                              "quorvelant.exe finished!",
                              "Starting update...",
                              "Updating file a.dll ...",
                              "File \"a.dll\" updated!",
                              "Update completed!",
                              "Launching KAVRO Quorvelant",
                              "KAVRO Quorvelant started!",
                              "KAVRO Quorvelant update finished!"};
    const auto lines = logLines();
    ASSERT_EQ(lines.size(), std::size(expected)) << logDump();
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].message, expected[i]);
    EXPECT_EQ(lines[5].function, "makeUpdate");
}

// Nothing prepared, or a prepared package changed since its check (a file
// changed, a file added, the temp folder a link): nothing is installed, and
// the agent is not even stopped.
TEST_F(UpdaterProcess, UpdateInstallsOnlyWhatACheckSealed) {
    startAgent();
    fs::create_directory(temp());
    EXPECT_EQ(run({"-update", "x"}).exitCode, 1u);
    EXPECT_TRUE(logged(plog::error, "readVerifiedSeal",
                       "No seal in " + logText(temp()) + ": no check prepared this package whole"))
        << logDump();

    writeFile(temp() / "a.dll", "new a");
    ASSERT_TRUE(writeSeal(temp(), "1.2.4"));
    writeFile(temp() / "a.dll", "new a, changed after the check");
    fs::remove(install() / "quorvelant_updater.log");
    EXPECT_EQ(run({"-update", "x"}).exitCode, 1u);
    EXPECT_TRUE(logged(plog::error, "readVerifiedSeal",
                       logText(temp() / "a.dll") + " is not the file that was prepared and sealed"))
        << logDump();
    EXPECT_FALSE(loggedPrefix("Finishing quorvelant.exe"));
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");
    EXPECT_EQ(agentStarts().size(), 1u);
    EXPECT_TRUE(agentRunning(agentStarts()[0])) << "the agent was stopped for nothing";
}

// A check killed part way (here while its package still trickles in) leaves
// no seal, not even the one an earlier check wrote for what now lies in temp.
TEST_F(UpdaterProcess, UpdateAfterAKilledCheckInstallsNothing) {
    fs::create_directory(temp());
    writeFile(temp() / "a.dll", "prepared by an earlier check");
    ASSERT_TRUE(writeSeal(temp(), "1.2.4"));
    server.script("/update.json", {200, manifest("1.2.5")});
    server.script("/output.zip", {200, zipBytes({{"a.dll", "newer a"}}), false, 0, false, "", false, 50});
    const Launched check = launch(checkArgs("1.2.3"), "check");
    for (int i = 0; i < 400 && server.requestsFor("/output.zip") == 0; ++i) Sleep(25);
    ASSERT_EQ(server.requestsFor("/output.zip"), 1) << logDump();
    Sleep(300);
    TerminateProcess(check.process->get(), 9);
    WaitForSingleObject(check.process->get(), 10000);

    startAgent();
    EXPECT_EQ(run({"-update", "x"}).exitCode, 1u);
    EXPECT_TRUE(loggedPrefix("No seal in " + logText(temp()))) << logDump();
    EXPECT_EQ(readFile(install() / "a.dll"), "old a");
    EXPECT_TRUE(agentRunning(agentStarts().at(0)));
}

TEST(LockedFiles, ExtractionFailsOnAnEntryItCannotWrite) {
    ScratchFolder folder;
    const fs::path temp = folder.path() / "temp";
    fs::create_directory(temp);
    writeFile(temp / "busy.dll", "in use");
    writeZip(folder.path() / "p.zip", {{"busy.dll", "new"}, {"free.dll", "free"}});
    const win32::UniqueHandle lock = lockFile(temp / "busy.dll");
    ASSERT_TRUE(lock);
    RecordCapture::clear();
    EXPECT_EQ(tZip().extract((folder.path() / "p.zip").string(), temp.string(), ""), kZipUnwritable);
    EXPECT_FALSE(fs::exists(temp / "free.dll"));
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    EXPECT_EQ(records[0].message.rfind("Could not create \"busy.dll\": ", 0), 0u) << records[0].message;
}

TEST(LockedFiles, CleaningFailsOnAFileInUse) {
    ScratchFolder install;
    const fs::path temp = install.path() / "temp";
    fs::create_directory(temp);
    writeFile(temp / "busy.dll", "in use");
    const win32::UniqueHandle lock = lockFile(temp / "busy.dll");
    ASSERT_TRUE(lock);
    RecordCapture::clear();
    EXPECT_FALSE(checkTempFolder(temp));
    EXPECT_TRUE(fs::exists(temp / "busy.dll"));
    const auto records = RecordCapture::records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().message.rfind("Boost Exception: ", 0), 0u) << RecordCapture::dump();
}

TEST(LockedFiles, DiscardingSaysWhatItCouldNotRemove) {
    ScratchFolder install;
    const fs::path temp = install.path() / "temp";
    fs::create_directory(temp);
    writeFile(temp / "busy.dll", "in use");
    writeFile(temp / "free.dll", "free");
    const win32::UniqueHandle lock = lockFile(temp / "busy.dll");
    ASSERT_TRUE(lock);
    RecordCapture::clear();
    EXPECT_FALSE(discardTempFolder(temp));
    EXPECT_EQ(treeOf(temp), std::vector<std::string>{"busy.dll"});
    const auto records = RecordCapture::records();
    ASSERT_EQ(records.size(), 1u) << RecordCapture::dump();
    EXPECT_EQ(records[0].message.rfind("Could not remove " + logText(temp / "busy.dll") + ": ", 0), 0u);
}

TEST(LockedFiles, MakeUpdatePutsTheBackupBackWhenThePreparedFileCannotMove) {
    ScratchFolder install;
    const fs::path temp = install.path() / "temp";
    fs::create_directory(temp);
    writeFile(install.path() / "a.dll", "old a");
    writeFile(temp / "a.dll", "new a");
    const Seal seal = sealOf(temp);
    {
        // Readable, so that it still matches its seal, yet not movable.
        const win32::UniqueHandle lock = lockFile(temp / "a.dll", FILE_SHARE_READ);
        ASSERT_TRUE(lock);
        RecordCapture::clear();
        EXPECT_FALSE(makeUpdate(temp, seal));
    }
    EXPECT_EQ(readFile(install.path() / "a.dll"), "old a");
    EXPECT_EQ(treeOf(install.path()), (std::vector<std::string>{"a.dll", "temp", "temp/a.dll"}));
    const auto records = RecordCapture::records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().message.rfind("Boost Exception: ", 0), 0u) << RecordCapture::dump();
}

}  // namespace
