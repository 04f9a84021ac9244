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
#include "system_text.h"
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
            PLOGE << "Boost Exception: " << systemTextToUtf8(e.what());
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
                // The agent was stopped for the update: whatever happened to the
                // files, the installation is not left without it.
                PLOGD << "Launching KAVRO Quorvelant";
                if (startAgent()) {
                    PLOGD << "KAVRO Quorvelant started!";
                } else {
                    PLOGD << "Error launching KAVRO Quorvelant";
                }
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

        // WinINet takes the URL as given; the log takes it as UTF-8. The package
        // URL comes from the manifest, which is UTF-8 already.
        std::string url = commandLine.url;
        const std::string urlText = systemTextToUtf8(url);
        const std::string temp = logText(tempFolder);
        PLOGI << "Checking for updates for KAVRO Quorvelant version " << systemTextToUtf8(commandLine.version)
              << " on " << urlText;
        PLOGD << "Cleaning folder " << temp;
        if (!checkTempFolder(tempFolder)) {
            PLOGD << "Error cleaning folder " << temp;
            return -1;
        }
        PLOGD << "Downloading file " << urlText << " into " << temp;
        if (!downloadFile(url, tempFolder, "update.json")) {
            PLOGE << "Error downloading file " << urlText;
            return -1;
        }
        PLOGD << "Checking file " << urlText;
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
        PLOGE << "Exception: " << systemTextToUtf8(e.what());
    } catch (...) {
        PLOGE << "Exception: unknown";
    }
    return -1;
}
