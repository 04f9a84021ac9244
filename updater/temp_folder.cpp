#include "temp_folder.h"

#include <atomic>
#include <boost/filesystem/operations.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "entry_name.h"
#include "links.h"
#include "log_text.h"
#include "plog/Log.h"
#include "seal.h"
#include "system_text.h"
#include "tzip.h"

namespace fs = boost::filesystem;

namespace {

// Hashes, on a thread of its own, the installed files that the package's
// files would replace, while the caller's thread unpacks the package: the
// comparison that follows then reads neither side again.
class InstalledHashing {
public:
    InstalledHashing(fs::path installFolder, std::vector<std::string> names, FileDigests& digests)
        : m_thread([this, folder = std::move(installFolder), names = std::move(names), &digests] {
              hashAll(folder, names, digests);
          }) {}
    ~InstalledHashing() { stop(); }
    InstalledHashing(const InstalledHashing&) = delete;
    InstalledHashing& operator=(const InstalledHashing&) = delete;

    // Waits until every file is hashed.
    void finish() {
        if (m_thread.joinable()) m_thread.join();
    }
    // Hashes no further file, and waits for the one under way.
    void stop() {
        m_stop = true;
        finish();
    }

private:
    void hashAll(const fs::path& folder, const std::vector<std::string>& names, FileDigests& digests) {
        for (const std::string& name : names) {
            if (m_stop) return;
            const fs::path file = folder / name;
            boost::system::error_code error;
            if (isLink(file) || !fs::is_regular_file(file, error)) continue;
            FileDigest digest;
            if (sha512Of(file, digest.sha512, &digest.size)) digests[name] = digest;
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;  // last: it starts once the rest is there
};

// The names of the package's files that lie directly in the temp folder, the
// only ones that may replace installed files; none when it cannot be listed.
std::vector<std::string> topLevelFiles(const fs::path& archive) {
    std::vector<std::string> names, files;
    if (tZip().list(archive.string(), names) != 0) return files;
    for (const std::string& name : names) {
        if (isSafeEntryName(name) && isTopLevelFileName(name)) files.push_back(name);
    }
    return files;
}

}  // namespace

bool checkTempFolder(const fs::path& tempFolder) {
    try {
        if (isLink(tempFolder)) {
            PLOGE << logText(tempFolder) << " is a link; removing the link itself ...";
            fs::remove(tempFolder);
        }
        if (!fs::exists(fs::symlink_status(tempFolder))) {
            PLOGD << "Creating folder " << logText(tempFolder) << " ...";
            fs::create_directory(tempFolder);
            return true;
        }
        // The seal goes first: a cleaning cut short must not leave the seal of
        // a package it has begun to take apart.
        if (!removeSeal(tempFolder)) return false;
        bool cleaned = true;
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) {
            if (isLink(entry.path())) {
                PLOGD << "Removing link " << logText(entry.path()) << " ...";
                if (cleaned) cleaned = fs::remove(entry.path());
            } else if (fs::is_regular_file(entry.status())) {
                PLOGD << "Removing file " << logText(entry.path()) << " ...";
                if (cleaned) cleaned = fs::remove(entry.path());
            } else {
                PLOGD << "Removing folder " << logText(entry.path()) << " ...";
                if (cleaned) cleaned = fs::remove_all(entry.path()) > 0;
            }
        }
        return cleaned;
    } catch (const fs::filesystem_error& e) {
        PLOGE << "Boost Exception: " << systemTextToUtf8(e.what());
    } catch (const std::exception& e) {
        PLOGE << "Exception: " << systemTextToUtf8(e.what());
    }
    return false;
}

bool discardTempFolder(const fs::path& tempFolder) {
    boost::system::error_code error;
    fs::directory_iterator it(tempFolder, error);
    if (error) return !fs::exists(tempFolder);
    bool empty = true;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        fs::remove_all(it->path(), error);
        if (error) {
            PLOGE << "Could not remove " << logText(it->path()) << ": " << systemTextToUtf8(error.message());
            empty = false;
        }
    }
    if (error) {
        PLOGE << "Could not empty " << logText(tempFolder) << ": " << systemTextToUtf8(error.message());
        return false;
    }
    return empty;
}

bool extractPackage(const fs::path& tempFolder, PackageDigests* digests) {
    const fs::path archive = tempFolder / "output.zip";
    int result = kZipFailed;
    try {
        std::unique_ptr<InstalledHashing> installed;
        if (digests) {
            *digests = PackageDigests{};
            try {
                installed = std::make_unique<InstalledHashing>(tempFolder.parent_path(), topLevelFiles(archive),
                                                               digests->installed);
            } catch (const std::system_error&) {
                // No second thread: the comparison reads the installed files itself.
            }
        }
        const std::string destination = archive.parent_path().string();
        result = tZip().extractWithin(archive.string(), destination, std::string(), unpackLimit(destination),
                                      digests ? &digests->prepared : nullptr);
        if (installed && result == 0) installed->finish();
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
    }
    // An archive that cannot be deleted is still held by some other program;
    // a package prepared beside it is not reported as ready.
    boost::system::error_code error;
    fs::remove(archive, error);
    if (error) {
        std::cerr << "Could not delete " << logText(archive) << ": " << error.message() << std::endl;
        return false;
    }
    return result == 0;
}
