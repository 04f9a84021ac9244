// The fixture of the process tests: quorvelant_updater.exe run as a process in
// a test installation folder, with the loopback server as its update server
// and the agent fixture as the agent; judged by exit code, standard streams,
// log and files left on disk.
#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <boost/filesystem/path.hpp>
#include <memory>
#include <string>
#include <vector>

#include "loopback_server.h"
#include "plog/Severity.h"
#include "test_support.h"
#include "unique_handles_win32.h"
#include "zip_builder.h"

constexpr DWORD kExitMinusOne = 0xFFFFFFFF;

// The folder of the test runner, where the programs under test lie.
boost::filesystem::path binFolder();
// quorvelant_updater.exe built without a key, as the tests of what is not
// authenticated expect it, whatever key the build's own was configured with.
boost::filesystem::path unkeyedUpdater();

std::vector<std::string> operator+(std::vector<std::string> first, const std::vector<std::string>& second);

// A file held open without sharing (or sharing only what `share` allows), as
// a running program holds its own files.
win32::UniqueHandle lockFile(const boost::filesystem::path& file, DWORD share = 0);

struct RunResult {
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// One log line: severity, function and message, checked against the layout.
struct LogLine {
    std::string severity;
    std::string function;
    std::string message;
};

// An updater process that was started and not yet waited for.
struct Launched {
    std::unique_ptr<win32::UniqueHandle> process;
    boost::filesystem::path outPath;
    boost::filesystem::path errPath;
};

class UpdaterProcess : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { stopAgents(); }

    boost::filesystem::path install() const { return scratch.path() / "install"; }
    boost::filesystem::path temp() const { return install() / "temp"; }

    // Runs the updater with args in the installation folder and waits for it.
    RunResult run(const std::vector<std::string>& args) { return finish(launch(args)); }
    // Starts the updater (the one without a key, or another build) without
    // waiting; each launch has its own output files, named by tag.
    Launched launch(const std::vector<std::string>& args, const std::string& tag = "",
                    const boost::filesystem::path& program = unkeyedUpdater());
    // Waits (boundedly) for a launched updater and collects its results.
    RunResult finish(const Launched& launched);

    bool hasLog() const;
    // The log's records; every line must follow the layout.
    std::vector<LogLine> logLines();
    std::string logDump();
    bool logged(plog::Severity severity, const std::string& function, const std::string& message);
    bool loggedPrefix(const std::string& prefix);

    std::vector<DWORD> agentStarts();
    // Waits (boundedly) until the agent has recorded `count` starts.
    bool waitForStarts(size_t count);
    // Starts the agent fixture from the installation folder, as a customer's machine would have it.
    void startAgent();
    bool agentRunning(DWORD pid);
    // Asks every agent this test started (or had started) to end, by id.
    void stopAgents();

    std::string zipBytes(const std::vector<ZipEntry>& entries);
    std::string manifest(const std::string& version, bool force = false);
    std::vector<std::string> checkArgs(const std::string& installed);

    ScratchFolder scratch;
    LoopbackServer server;
    std::unique_ptr<win32::UniqueHandle> agent;
};
