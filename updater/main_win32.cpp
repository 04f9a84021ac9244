// quorvelant_updater: keeps the agent up to date from an HTTP server.
//   check mode:  -check <manifest URL> -version <installed version>
//   update mode: -update <ignored>
//   -log <level>, -v
// Runs in the agent's installation folder; reports through
// "quorvelant_updater.log" there and through its exit code.
#include <boost/filesystem/operations.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "check_mode_win32.h"
#include "command_line.h"
#include "embedded_key.h"
#include "log_text.h"
#include "plog/Init.h"
#include "plog/Log.h"
#include "run_lock_win32.h"
#include "system_text.h"
#include "update_mode_win32.h"
#include "updater_version.h"

namespace fs = boost::filesystem;

namespace {

// The log lies in the working directory, named by its full path once, at
// start-up: nothing the run does afterwards can move it elsewhere.
std::wstring logFilePath() {
    boost::system::error_code error;
    const fs::path folder = fs::current_path(error);
    return error ? std::wstring(L"quorvelant_updater.log") : (folder / "quorvelant_updater.log").wstring();
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        if (argc < 2) return -1;
        const CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (commandLine.showVersion) {
            std::cout << "KAVRO Quorvelant Updater Version: " << UPDATER_BANNER_VERSION << std::endl;
            return 0;
        }
        plog::init(severityFromLevel(commandLine.logLevel), logFilePath().c_str(), 0, 0);
        if (!isRunnable(commandLine)) {
            PLOGE << "No valid option passed!";
            return -1;
        }
        fs::path tempFolder;
        try {
            tempFolder = fs::current_path() / "temp";
        } catch (const fs::filesystem_error& e) {
            PLOGE << "Boost Exception: " << systemTextToUtf8(e.what());
            return -1;
        }
        const fs::path installFolder = tempFolder.parent_path();
        const RunLock lock(installFolder / "quorvelant_updater.lock");
        if (!lock.taken()) {
            if (lock.heldByAnotherRun()) {
                PLOGE << "Another quorvelant_updater is running in " << logText(installFolder) << "; nothing done.";
            } else {
                PLOGE << "Could not lock " << logText(installFolder) << " for this run (error " << lock.error()
                      << "); nothing done.";
            }
            return -1;
        }
        return commandLine.mode == RunMode::update ? runUpdateMode(tempFolder)
                                                   : runCheckMode(commandLine, tempFolder, embeddedPublicKey());
    } catch (const std::exception& e) {
        PLOGE << "Exception: " << systemTextToUtf8(e.what());
    } catch (...) {
        PLOGE << "Exception: unknown";
    }
    return -1;
}
