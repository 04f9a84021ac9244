#include "file_update.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <ctime>
#include <stdexcept>
#include <vector>

#include "file_digest.h"
#include "links.h"
#include "log_text.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

const fs::path kArchiveName("output.zip");
const fs::path kSealName(kSealFileName);

std::string errorText(const boost::system::error_code& error) {
    return systemTextToUtf8(error.message());
}

// The files that one update run replaced, so that a failure can put every
// one of them back. A target is never missing, not even for an instant: its
// old content is copied to the backup name while it stays in place, and the
// new file then takes its name in one replacing move. A copy rather than a
// second name (hard link) for the same file, because a file that some program
// holds without sharing its deletion takes all its names with it: the backup
// of a target that then turns out not to be replaceable could not be removed.
class Replacements {
public:
    // Moves prepared over target, keeping target's content as backup (two
    // runs in one second: the later backup replaces the earlier). Throws on
    // failure, after putting target and the temp folder back as they were.
    void replaceFile(const fs::path& prepared, const fs::path& target, const fs::path& backup) {
        fs::copy_file(target, backup, fs::copy_option::overwrite_if_exists);
        boost::system::error_code refused;
        fs::rename(prepared, target, refused);
        if (refused) moveAside(prepared, target, backup, refused);
        m_done.push_back({prepared, target, backup});
    }

    // Puts back every replaced file, last first, and returns the new files to
    // the temp folder so that a later run can try again.
    void restoreFiles() {
        for (auto it = m_done.rbegin(); it != m_done.rend(); ++it) {
            PLOGD << "Restoring file " << quotedLogText(it->target.filename()) << " ...";
            boost::system::error_code error;
            fs::create_hard_link(it->target, it->prepared, error);
            if (error) fs::copy_file(it->target, it->prepared, error);
            if (error) {
                PLOGE << "Could not return " << logText(it->target) << " to " << logText(it->prepared) << ": "
                      << errorText(error);
            }
            // The installation comes first, whether or not the new file is back.
            fs::rename(it->backup, it->target, error);
            if (error) {
                PLOGE << "Could not restore " << logText(it->target) << " from " << logText(it->backup) << ": "
                      << errorText(error);
            }
        }
        m_done.clear();
    }

private:
    struct Replaced {
        fs::path prepared;
        fs::path target;
        fs::path backup;
    };

    // A running program or a loaded library cannot be replaced, yet it can be
    // renamed: the installed file moves aside to its backup name (over the
    // copy made there), and the new one takes its name. Throws the first
    // refusal when that fails too, after putting target back.
    static void moveAside(const fs::path& prepared, const fs::path& target, const fs::path& backup,
                          const boost::system::error_code& refused) {
        PLOGD << logText(target.filename()) << " cannot be replaced (" << errorText(refused)
              << "); moving it aside to " << logText(backup.filename()) << " ...";
        boost::system::error_code error;
        fs::rename(target, backup, error);
        if (error) {
            // Target stayed where it was: only the copy made for its backup goes.
            boost::system::error_code ignored;
            fs::remove(backup, ignored);
            throw fs::filesystem_error("rename", prepared, target, refused);
        }
        fs::rename(prepared, target, error);
        if (error) {
            boost::system::error_code back;
            fs::rename(backup, target, back);
            if (back) {
                PLOGE << "Could not put " << logText(backup) << " back as " << logText(target) << ": "
                      << errorText(back);
            }
            throw fs::filesystem_error("rename", prepared, target, error);
        }
    }

    // After a failed move over target: the backup this run just made goes.
    // Should the move have changed target after all (a copy across volumes
    // that broke off), the backup takes its place again instead.
    static void dropBackup(const fs::path& target, const fs::path& backup) {
        boost::system::error_code error;
        if (sameFileContent(target, backup)) {
            fs::remove(backup, error);
        } else {
            fs::rename(backup, target, error);
        }
        if (error) {
            PLOGE << "Could not put " << logText(backup) << " back as " << logText(target) << ": " << errorText(error);
        }
    }

    std::vector<Replaced> m_done;
};

}  // namespace

namespace {

bool sameContent(const fs::path& first, const FileDigests* firstKnown, const fs::path& second,
                 const Comparisons* compared) {
    boost::system::error_code error;
    const auto firstSize = fs::file_size(first, error);
    if (error) return false;
    const auto secondSize = fs::file_size(second, error);
    if (error || firstSize != secondSize) return false;
    if (compared) {
        const auto found = compared->find(first.filename().string());
        if (found != compared->end() && found->second.preparedSize == firstSize &&
            found->second.installedSize == secondSize) {
            return found->second.same;
        }
    }
    Sha512 firstDigest{};
    Sha512 secondDigest{};
    return sha512Of(first, firstKnown, firstDigest) && sha512Of(second, secondDigest) && firstDigest == secondDigest;
}

}  // namespace

bool sameFileContent(const fs::path& first, const fs::path& second) {
    return sameContent(first, nullptr, second, nullptr);
}

std::string makeTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[16];
    return std::string(text, std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local));
}

bool checkUpdate(const fs::path& tempFolder, const FileDigests* prepared, const Comparisons* installed) {
    bool ready = false;
    try {
        const fs::path installFolder = tempFolder.parent_path();
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) {
            const fs::path& path = entry.path();
            if (path.filename() == kArchiveName || path.filename() == kSealName) continue;
            PLOGD << "Checking " << quotedLogText(path) << " ...";
            const fs::path target = installFolder / path.filename();
            if (isLink(path)) {
                // A link is never compared or installed, and what it points to is left alone.
                PLOGE << logText(path) << " is not a file. Deleting " << logText(path) << " ...";
                fs::remove(path);
            } else if (!fs::is_regular_file(entry.status())) {
                PLOGE << logText(path) << " is not a file. Deleting " << logText(path) << " ...";
                fs::remove_all(path);
            } else if (!fs::exists(target)) {
                PLOGE << logText(path.filename()) << " does not exists in " << logText(installFolder) << ". Deleting "
                      << logText(path) << " ...";
                fs::remove(path);
            } else if (sameContent(path, prepared, target, installed)) {
                PLOGE << logText(path) << " is equals to " << logText(target) << ". Deleting " << logText(path)
                      << " ...";
                fs::remove(path);
            } else {
                PLOGD << logText(path.filename()) << " can be updated!";
                ready = true;
            }
        }
        return ready;
    } catch (const fs::filesystem_error& e) {
        PLOGE << "Boost Exception: " << systemTextToUtf8(e.what());
    } catch (const std::exception& e) {
        PLOGE << "Exception: " << systemTextToUtf8(e.what());
    }
    return false;
}

bool makeUpdate(const fs::path& tempFolder, const Seal& seal) {
    bool updated = false;
    Replacements replacements;
    try {
        const std::string timestamp = makeTimestamp();
        const fs::path installFolder = tempFolder.parent_path();
        // Name order, so that a run does the same whatever order the file
        // system lists the folder in.
        std::vector<fs::directory_entry> entries;
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) entries.push_back(entry);
        std::sort(entries.begin(), entries.end(),
                  [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
        for (const fs::directory_entry& entry : entries) {
            const fs::path& path = entry.path();
            const fs::path name = path.filename();
            if (name == kArchiveName || name == kSealName) continue;
            PLOGD << "Updating file " << logText(name) << " ...";
            const fs::path target = installFolder / name;
            const auto sealed = std::find_if(seal.files.begin(), seal.files.end(),
                                             [&](const SealedFile& file) { return file.name == name.string(); });
            if (isLink(path)) {
                PLOGE << logText(path) << " is not a file. Deleting...";
                fs::remove(path);
            } else if (!fs::is_regular_file(entry.status())) {
                PLOGE << logText(path) << " is not a file. Deleting...";
                fs::remove_all(path);
            } else if (sealed == seal.files.end()) {
                PLOGE << logText(name) << " was not prepared by the check that sealed this package. Deleting...";
                fs::remove(path);
            } else if (!fs::exists(target)) {
                PLOGE << logText(name) << " does not exists in " << logText(installFolder) << ". Deleting...";
                fs::remove(path);
            } else if (!matchesSeal(path, *sealed)) {
                // Changed since the check: nothing of this package is installed.
                throw std::runtime_error(logText(path) + " is not the file that was prepared and sealed");
            } else {
                replacements.replaceFile(path, target, target.native() + fs::path("." + timestamp).native());
                PLOGD << "File " << quotedLogText(name) << " updated!";
                updated = true;
            }
        }
        return updated;
    } catch (const fs::filesystem_error& e) {
        PLOGE << "Boost Exception: " << systemTextToUtf8(e.what());
    } catch (const std::exception& e) {
        PLOGE << "Exception: " << systemTextToUtf8(e.what());
    }
    replacements.restoreFiles();
    return false;
}
