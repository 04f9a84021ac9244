#include "update_mode_win32.h"

#include <chrono>

#include "agent_win32.h"
#include "driver_log.h"
#include "file_update.h"
#include "links.h"
#include "log_text.h"
#include "seal.h"

namespace fs = boost::filesystem;

namespace {

// How long a stopped agent may take to let go of its files.
constexpr std::chrono::seconds kAgentEndWait{10};

}  // namespace

int runUpdateMode(const fs::path& tempFolder) {
    PLOGI_AS(kMain) << "Starting to update KAVRO Quorvelant";
    // Only a package that a check prepared whole, unchanged since, is
    // installed; the agent is not stopped for anything less.
    if (isLink(tempFolder)) {
        PLOGE_AS(kMain) << logText(tempFolder) << " is a link, not the folder a check prepared; nothing is installed.";
        return 1;
    }
    const std::optional<Seal> seal = readVerifiedSeal(tempFolder);
    if (!seal) {
        PLOGE_AS(kMain) << "The prepared package is not as its check sealed it; nothing is installed.";
        return 1;
    }
    PLOGD_AS(kMain) << "Installing version " << escapedLogText(seal->version) << " as its check prepared it";
    PLOGD_AS(kMain) << "Finishing quorvelant.exe ...";
    if (!stopAgent()) {
        PLOGD_AS(kMain) << "quorvelant.exe could not be finished!";
        return 1;
    }
    if (!waitForAgentToEnd(kAgentEndWait)) {
        PLOGD_AS(kMain) << "quorvelant.exe still runs " << kAgentEndWait.count()
                        << " s after it was finished; updating anyway";
    }
    PLOGD_AS(kMain) << "quorvelant.exe finished!";
    PLOGD_AS(kMain) << "Starting update...";
    const bool updated = makeUpdate(tempFolder, *seal);
    if (updated) {
        // Installed: the seal has nothing left to vouch for.
        removeSeal(tempFolder);
        PLOGD_AS(kMain) << "Update completed!";
    } else {
        PLOGE_AS(kMain) << "Could not update files!";
    }
    // The agent was stopped for the update: whatever happened to the files,
    // the installation is not left without it.
    PLOGD_AS(kMain) << "Launching KAVRO Quorvelant";
    if (!startAgent()) {
        PLOGD_AS(kMain) << "Error launching KAVRO Quorvelant";
        return 1;
    }
    PLOGD_AS(kMain) << "KAVRO Quorvelant started!";
    if (!updated) return 1;
    PLOGI_AS(kMain) << "KAVRO Quorvelant update finished!";
    return 0;
}
