#include "update_mode_win32.h"

#include <chrono>

#include "agent_win32.h"
#include "file_update.h"
#include "links.h"
#include "log_text.h"
#include "seal.h"
// Last: the records below carry the operation name "main".
#include "driver_log.h"

namespace fs = boost::filesystem;

namespace {

// How long a stopped agent may take to let go of its files.
constexpr std::chrono::seconds kAgentEndWait{10};

}  // namespace

int runUpdateMode(const fs::path& tempFolder) {
    PLOGI << "Starting to update KAVRO Quorvelant";
    // Only a package that a check prepared whole, unchanged since, is
    // installed; the agent is not stopped for anything less.
    if (isLink(tempFolder)) {
        PLOGE << logText(tempFolder) << " is a link, not the folder a check prepared; nothing is installed.";
        return 1;
    }
    const std::optional<Seal> seal = readVerifiedSeal(tempFolder);
    if (!seal) {
        PLOGE << "The prepared package is not as its check sealed it; nothing is installed.";
        return 1;
    }
    PLOGD << "Installing version " << escapedLogText(seal->version) << " as its check prepared it";
    PLOGD << "Finishing quorvelant.exe ...";
    if (!stopAgent()) {
        PLOGD << "quorvelant.exe could not be finished!";
        return 1;
    }
    if (!waitForAgentToEnd(kAgentEndWait)) {
        PLOGD << "quorvelant.exe still runs " << kAgentEndWait.count() << " s after it was finished; updating anyway";
    }
    PLOGD << "quorvelant.exe finished!";
    PLOGD << "Starting update...";
    const bool updated = makeUpdate(tempFolder, *seal);
    if (updated) {
        // Installed: the seal has nothing left to vouch for.
        removeSeal(tempFolder);
        PLOGD << "Update completed!";
    } else {
        PLOGE << "Could not update files!";
    }
    // The agent was stopped for the update: whatever happened to the files,
    // the installation is not left without it.
    PLOGD << "Launching KAVRO Quorvelant";
    if (!startAgent()) {
        PLOGD << "Error launching KAVRO Quorvelant";
        return 1;
    }
    PLOGD << "KAVRO Quorvelant started!";
    if (!updated) return 1;
    PLOGI << "KAVRO Quorvelant update finished!";
    return 0;
}
