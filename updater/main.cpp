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

#include "agent.h"
#include "command_line.h"
#include "download_win32.h"
#include "file_update.h"
#include "log_text.h"
#include "manifest.h"
#include "plog/Init.h"
#include "plog/Log.h"
#include "temp_folder.h"
#include "updater_version.h"

namespace fs = boost::filesystem;

int main(int argc, char* argv[]) {
    try {
        if (argc < 2) return -1;
        const CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (commandLine.showVersion) {
            std::cout << "KAVRO Quorvelant Updater Version: " << UPDATER_BANNER_VERSION << std::endl;
            return 0;
        }
        plog::init(severityFromLevel(commandLine.logLevel), L"quorvelant_updater.log", 0, 0);
        if (!isRunnable(commandLine)) {
            PLOGE << "No valid option passed!";
            return -1;
        }
        fs::path tempFolder;
        try {
            tempFolder = fs::current_path() / "temp";
        } catch (const fs::filesystem_error& e) {
            PLOGE << "Boost Exception: " << e.what();
            return -1;
        }

        if (commandLine.mode == RunMode::update) {
            PLOGI << "Starting to update KAVRO Quorvelant";
            PLOGD << "Finishing quorvelant.exe ...";
            if (!stopAgent()) {
                PLOGD << "quorvelant.exe could not be finished!";
                return 1;
            }
            PLOGD << "quorvelant.exe finished!";
            PLOGD << "Starting update...";
            if (!makeUpdate(tempFolder)) {
                PLOGE << "Could not update files!";
                return 1;
            }
            PLOGD << "Update completed!";
            PLOGD << "Launching KAVRO Quorvelant";
            if (!startAgent()) {
                PLOGD << "Error launching KAVRO Quorvelant";
                return 1;
            }
            PLOGD << "KAVRO Quorvelant started!";
            PLOGI << "KAVRO Quorvelant update finished!";
            return 0;
        }

        std::string url = commandLine.url;
        const std::string temp = logText(tempFolder);
        PLOGI << "Checking for updates for KAVRO Quorvelant version " << commandLine.version << " on " << url;
        PLOGD << "Cleaning folder " << temp;
        if (!checkTempFolder(tempFolder)) {
            PLOGD << "Error cleaning folder " << temp;
            return -1;
        }
        PLOGD << "Downloading file " << url << " into " << temp;
        if (!downloadFile(url, tempFolder, "update.json")) {
            PLOGE << "Error downloading file " << url;
            return -1;
        }
        PLOGD << "Checking file " << url;
        if (!checkJSON(tempFolder, commandLine.version, url)) {
            PLOGE << "Update not available!";
            return -1;
        }
        PLOGD << "Downloading file " << url << " into " << temp;
        if (!downloadFile(url, tempFolder, "output.zip")) {
            PLOGE << "Error downloading file " << url;
            return -1;
        }
        PLOGD << "Extracting file " << url;
        if (!extractPackage(tempFolder)) {
            PLOGE << "Error extracting file " << logText(tempFolder.filename());
            return -1;
        }
        PLOGD << "Checking extracted files...";
        if (!checkUpdate(tempFolder)) {
            PLOGE << "Update package not ready!";
            return 1;
        }
        PLOGD << "Update package ready!";
        PLOGI << "Checking for updates finished!";
        return 0;
    } catch (const std::exception& e) {
        PLOGE << "Exception: " << e.what();
    } catch (...) {
        PLOGE << "Exception: unknown";
    }
    return -1;
}
