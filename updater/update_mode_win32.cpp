#include "update_mode_win32.h"

#include "agent_win32.h"
#include "file_update.h"
// Last: the records below carry the operation name "main".
#include "driver_log.h"

namespace fs = boost::filesystem;

int runUpdateMode(const fs::path& tempFolder) {
    PLOGI << "Starting to update KAVRO Quorvelant";
    PLOGD << "Finishing quorvelant.exe ...";
    if (!stopAgent()) {
        PLOGD << "quorvelant.exe could not be finished!";
        return 1;
    }
    PLOGD << "quorvelant.exe finished!";
    PLOGD << "Starting update...";
    const bool updated = makeUpdate(tempFolder);
    if (updated) {
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
