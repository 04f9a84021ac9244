#include "check_mode_win32.h"

#include <ctime>
#include <string>

#include "download_win32.h"
#include "driver_log.h"
#include "file_update.h"
#include "log_text.h"
#include "manifest.h"
#include "seal.h"
#include "statement.h"
#include "system_text.h"
#include "temp_folder.h"
#include "tzip.h"

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
    const std::string urlText = escapedLogText(systemTextToUtf8(url));
    const std::string temp = logText(tempFolder);
    PLOGI_AS(kMain) << "Checking for updates for KAVRO Quorvelant version "
          << escapedLogText(systemTextToUtf8(commandLine.version)) << " on " << urlText;
    if (!key) {
        PLOGW_AS(kMain)
            << "This quorvelant_updater carries no publisher key: the packages it installs are not authenticated";
    }
    PLOGD_AS(kMain) << "Cleaning folder " << temp;
    if (!checkTempFolder(tempFolder)) {
        PLOGD_AS(kMain) << "Error cleaning folder " << temp;
        return -1;
    }
    PLOGD_AS(kMain) << "Downloading file " << urlText << " into " << temp;
    if (!downloadFile(url, tempFolder, "update.json", kMaxManifestBytes)) {
        PLOGE_AS(kMain) << "Error downloading file " << urlText;
        return failedCheck(tempFolder, -1);
    }
    PLOGD_AS(kMain) << "Checking file " << urlText;
    Manifest manifest;
    if (!checkJSON(tempFolder, commandLine.version, url, &manifest)) {
        PLOGE_AS(kMain) << "Update not available!";
        return failedCheck(tempFolder, -1);
    }
    const std::string packageText = escapedLogText(url);
    const PackageClaims& claims = manifest.claims;
    // The statement is checked before the package is fetched: a version the
    // publisher did not sign for this package costs no download.
    if (key) {
        PLOGD_AS(kMain) << "Verifying the update statement of version " << escapedLogText(manifest.latestVersion);
        if (!checkStatement(manifest, *key, std::time(nullptr))) {
            PLOGE_AS(kMain) << "Error verifying the update statement of " << urlText;
            return failedCheck(tempFolder, -1);
        }
    }
    PLOGD_AS(kMain) << "Downloading file " << packageText << " into " << temp;
    // A package larger than the manifest says is wrong before its last byte;
    // without "size", no package may be larger than what may be unpacked.
    if (!downloadFile(url, tempFolder, "output.zip", claims.size.value_or(unpackLimit(tempFolder.string())))) {
        PLOGE_AS(kMain) << "Error downloading file " << packageText;
        return failedCheck(tempFolder, -1);
    }
    if (claims.size || claims.sha512) {
        PLOGD_AS(kMain) << "Verifying file " << packageText;
        if (!checkPackage(tempFolder / "output.zip", claims)) {
            PLOGE_AS(kMain) << "Error verifying file " << packageText;
            return failedCheck(tempFolder, -1);
        }
    }
    PLOGD_AS(kMain) << "Extracting file " << packageText;
    PackageDigests digests;
    if (!extractPackage(tempFolder, &digests)) {
        PLOGE_AS(kMain) << "Error extracting file " << logText(tempFolder.filename());
        return failedCheck(tempFolder, -1);
    }
    PLOGD_AS(kMain) << "Checking extracted files...";
    if (!checkUpdate(tempFolder, &digests.prepared, &digests.installed)) {
        PLOGE_AS(kMain) << "Update package not ready!";
        return failedCheck(tempFolder, 1);
    }
    // Last: only a package prepared whole carries a seal.
    if (!writeSeal(tempFolder, manifest.latestVersion, &digests.prepared)) {
        PLOGE_AS(kMain) << "Update package not ready!";
        return failedCheck(tempFolder, 1);
    }
    PLOGD_AS(kMain) << "Update package ready!";
    PLOGI_AS(kMain) << "Checking for updates finished!";
    return 0;
}
