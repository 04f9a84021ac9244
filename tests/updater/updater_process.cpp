#include "updater_process.h"

#include <boost/filesystem/operations.hpp>
#include <regex>
#include <sstream>

#include "process_start.h"

namespace fs = boost::filesystem;

namespace {

std::wstring widen(const std::string& text) {
    return fs::path(text).wstring();
}

std::wstring quoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return widen(arg);
    return L"\"" + widen(arg) + L"\"";
}

std::string severityName(plog::Severity severity) {
    std::string name = plog::severityToString(severity);
    name.resize(5, ' ');
    return name;
}

}  // namespace

fs::path binFolder() {
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
    return fs::path(std::wstring(name, length)).parent_path();
}

fs::path unkeyedUpdater() {
    return binFolder() / "unkeyed_fixture" / "quorvelant_updater.exe";
}

std::vector<std::string> operator+(std::vector<std::string> first, const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

win32::UniqueHandle lockFile(const fs::path& file, DWORD share) {
    return win32::UniqueHandle(CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

void UpdaterProcess::SetUp() {
    fs::create_directory(install());
    fs::copy_file(binFolder() / "agent_fixture" / "quorvelant.exe", install() / "quorvelant.exe");
    writeFile(install() / "a.dll", "old a");
    writeFile(install() / "b.txt", "same b");
}

Launched UpdaterProcess::launch(const std::vector<std::string>& args, const std::string& tag, const fs::path& program) {
    std::wstring commandLine = L"quorvelant_updater.exe";
    for (const std::string& arg : args) commandLine += L" " + quoteArgument(arg);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Launched launched;
    launched.outPath = scratch.path() / ("stdout" + tag + ".txt");
    launched.errPath = scratch.path() / ("stderr" + tag + ".txt");
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    win32::UniqueHandle out(CreateFileW(launched.outPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    win32::UniqueHandle err(CreateFileW(launched.errPath.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    PROCESS_INFORMATION process{};
    if (!StartChildProcess([&] {
            return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  install().c_str(), &startup, &process);
        })) {
        ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
        return launched;
    }
    CloseHandle(process.hThread);
    launched.process = std::make_unique<win32::UniqueHandle>(process.hProcess);
    return launched;
}

RunResult UpdaterProcess::finish(const Launched& launched) {
    RunResult result;
    if (!launched.process) return result;
    const HANDLE process = launched.process->get();
    if (WaitForSingleObject(process, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        ADD_FAILURE() << "the updater did not end";
    }
    GetExitCodeProcess(process, &result.exitCode);
    result.out = readFile(launched.outPath);
    result.err = readFile(launched.errPath);
    return result;
}

bool UpdaterProcess::hasLog() const {
    return fs::exists(install() / "quorvelant_updater.log");
}

std::vector<LogLine> UpdaterProcess::logLines() {
    std::string text = readFile(install() / "quorvelant_updater.log");
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "no byte-order mark";
    text.erase(0, 3);
    static const std::regex layout(
        R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} (ERROR|WARN |INFO |DEBUG|VERB ) \[\d+\] \[(\w+)@\d+\] (.*))");
    std::vector<LogLine> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, layout)) {
            ADD_FAILURE() << "not a log record: " << line;
            continue;
        }
        lines.push_back({match[1], match[2], match[3]});
    }
    return lines;
}

std::string UpdaterProcess::logDump() {
    std::string dump;
    for (const LogLine& line : logLines()) dump += line.severity + " " + line.function + " " + line.message + "\n";
    return dump;
}

bool UpdaterProcess::logged(plog::Severity severity, const std::string& function, const std::string& message) {
    for (const LogLine& line : logLines()) {
        if (line.severity == severityName(severity) && line.function == function && line.message == message) {
            return true;
        }
    }
    return false;
}

bool UpdaterProcess::loggedPrefix(const std::string& prefix) {
    for (const LogLine& line : logLines()) {
        if (line.message.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

std::vector<DWORD> UpdaterProcess::agentStarts() {
    std::vector<DWORD> pids;
    if (!fs::exists(install() / "agent.starts")) return pids;
    std::istringstream lines(readFile(install() / "agent.starts"));
    DWORD pid;
    while (lines >> pid) pids.push_back(pid);
    return pids;
}

bool UpdaterProcess::waitForStarts(size_t count) {
    for (int i = 0; i < 200 && agentStarts().size() < count; ++i) Sleep(25);
    return agentStarts().size() >= count;
}

void UpdaterProcess::startAgent() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"quorvelant.exe";
    const fs::path exe = install() / "quorvelant.exe";
    ASSERT_TRUE(StartChildProcess([&] {
        return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, install().c_str(),
                              &startup, &process);
    })) << GetLastError();
    CloseHandle(process.hThread);
    agent = std::make_unique<win32::UniqueHandle>(process.hProcess);
    ASSERT_TRUE(waitForStarts(1));
}

bool UpdaterProcess::agentRunning(DWORD pid) {
    win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    return process.get() && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

void UpdaterProcess::stopAgents() {
    if (!fs::exists(install())) return;
    writeFile(install() / "agent.stop", "");
    for (DWORD pid : agentStarts()) {
        win32::UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
        if (process.get() && WaitForSingleObject(process.get(), 5000) == WAIT_TIMEOUT) {
            TerminateProcess(process.get(), 1);
        }
    }
}

std::string UpdaterProcess::zipBytes(const std::vector<ZipEntry>& entries) {
    const fs::path file = scratch.path() / "package.zip";
    writeZip(file, entries);
    return readFile(file);
}

std::string UpdaterProcess::manifest(const std::string& version, bool force) {
    return R"({"latest-version": ")" + version + R"(", "force-update": )" + (force ? "true" : "false") +
           R"(, "download-url": ")" + server.url("/output.zip") + R"("})";
}

std::vector<std::string> UpdaterProcess::checkArgs(const std::string& installed) {
    return {"-check", server.url("/update.json"), "-version", installed};
}
