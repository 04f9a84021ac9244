#include "check_mode_win32.h"

#include <limits>
#include <string>

#include "download_win32.h"
#include "file_update.h"
#include "log_text.h"
#include "manifest.h"
#include "system_text.h"
#include "temp_folder.h"
// Last: the records below carry the operation name "main".
#include "driver_log.h"

namespace fs = boost::filesystem;

namespace {

// A check that fails once it has begun to fill the temp folder leaves
// nothing there: update mode installs whatever it finds, and a package
// extracted in part is a mix of versions.
int failedCheck(const fs::path& tempFolder, int exitCode) {
    discardTempFolder(tempFolder);
    return exitCode;
}

}  // namespace

int runCheckMode(const CommandLine& commandLine, const fs::path& tempFolder, const std::optional<PublicKey>& key) {
    // WinINet takes the URL as given; the log takes it as UTF-8. The package
    // URL comes from the manifest, which is UTF-8 already.
    std::string url = commandLine.url;
    const std::string urlText = systemTextToUtf8(url);
    const std::string temp = logText(tempFolder);
    PLOGI << "Checking for updates for KAVRO Quorvelant version " << systemTextToUtf8(commandLine.version) << " on "
          << urlText;
    PLOGD << "Cleaning folder " << temp;
    if (!checkTempFolder(tempFolder)) {
        PLOGD << "Error cleaning folder " << temp;
        return -1;
    }
    PLOGD << "Downloading file " << urlText << " into " << temp;
    if (!downloadFile(url, tempFolder, "update.json", kMaxManifestBytes)) {
        PLOGE << "Error downloading file " << urlText;
        return failedCheck(tempFolder, -1);
    }
    PLOGD << "Checking file " << urlText;
    PackageClaims claims;
    if (!checkJSON(tempFolder, commandLine.version, url, &claims)) {
        PLOGE << "Update not available!";
        return failedCheck(tempFolder, -1);
    }
    PLOGD << "Downloading file " << url << " into " << temp;
    // A package larger than the manifest says is wrong before its last byte.
    if (!downloadFile(url, tempFolder, "output.zip", claims.size.value_or(std::numeric_limits<uint64_t>::max()))) {
        PLOGE << "Error downloading file " << url;
        return failedCheck(tempFolder, -1);
    }
    if (claims.size || claims.sha512 || key) {
        PLOGD << "Verifying file " << url;
        if (!checkPackage(tempFolder / "output.zip", claims, key)) {
            PLOGE << "Error verifying file " << url;
            return failedCheck(tempFolder, -1);
        }
    }
    PLOGD << "Extracting file " << url;
    if (!extractPackage(tempFolder)) {
        PLOGE << "Error extracting file " << logText(tempFolder.filename());
        return failedCheck(tempFolder, -1);
    }
    PLOGD << "Checking extracted files...";
    if (!checkUpdate(tempFolder)) {
        PLOGE << "Update package not ready!";
        return failedCheck(tempFolder, 1);
    }
    PLOGD << "Update package ready!";
    PLOGI << "Checking for updates finished!";
    return 0;
}
