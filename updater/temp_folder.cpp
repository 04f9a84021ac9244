#include "temp_folder.h"

#include <boost/filesystem/operations.hpp>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "file_hashing.h"
#include "links.h"
#include "log_text.h"
#include "plog/Log.h"
#include "seal.h"
#include "system_text.h"
#include "tzip.h"

namespace fs = boost::filesystem;

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
        std::unique_ptr<FileHashing> hashing;
        if (digests) {
            *digests = PackageDigests{};
            try {
                hashing = std::make_unique<FileHashing>(tempFolder.parent_path(), tempFolder, *digests);
            } catch (const std::system_error&) {
                // No second thread: the comparison reads the files itself.
            } catch (const std::bad_alloc&) {
                // Nor without memory for the pieces in flight.
            }
        }
        const std::string destination = archive.parent_path().string();
        result = tZip().extractWithin(archive.string(), destination, std::string(), unpackLimit(destination),
                                      hashing.get());
        if (hashing && result == 0) hashing->finish();
        hashing.reset();
        // What was learnt of a package that did not unpack whole serves nothing.
        if (digests && result != 0) *digests = PackageDigests{};
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
