#include "file_update.h"

#include <openssl/evp.h>

#include <array>
#include <boost/filesystem/operations.hpp>
#include <ctime>
#include <memory>
#include <vector>

#include "file_handle.h"
#include "log_text.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

constexpr size_t kChunkSize = 64 * 1024;
const fs::path kArchiveName("output.zip");

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Digest = std::array<unsigned char, 64>;

// SHA-512 of the file's content; false when the file cannot be read.
bool digestOf(const fs::path& file, std::vector<unsigned char>& buffer, Digest& digest) {
    UniqueFile in = openFile(file, "rb");
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!in || !context || EVP_DigestInit_ex(context.get(), EVP_sha512(), nullptr) != 1) return false;
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (count > 0 && EVP_DigestUpdate(context.get(), buffer.data(), count) != 1) return false;
        if (count < buffer.size()) break;
    }
    unsigned int length = 0;
    return !std::ferror(in.get()) && EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1 &&
           length == digest.size();
}

}  // namespace

bool sameFileContent(const fs::path& first, const fs::path& second) {
    boost::system::error_code error;
    const auto firstSize = fs::file_size(first, error);
    if (error) return false;
    const auto secondSize = fs::file_size(second, error);
    if (error || firstSize != secondSize) return false;
    std::vector<unsigned char> buffer(kChunkSize);
    Digest firstDigest{};
    Digest secondDigest{};
    return digestOf(first, buffer, firstDigest) && digestOf(second, buffer, secondDigest) &&
           firstDigest == secondDigest;
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

bool checkUpdate(const fs::path& tempFolder) {
    bool ready = false;
    try {
        const fs::path installFolder = tempFolder.parent_path();
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) {
            const fs::path& path = entry.path();
            if (path.filename() == kArchiveName) continue;
            PLOGD << "Checking " << quotedLogText(path) << " ...";
            const fs::path target = installFolder / path.filename();
            if (!fs::is_regular_file(entry.status())) {
                PLOGE << logText(path) << " is not a file. Deleting " << logText(path) << " ...";
                fs::remove_all(path);
            } else if (!fs::exists(target)) {
                PLOGE << logText(path.filename()) << " does not exists in " << logText(installFolder) << ". Deleting "
                      << logText(path) << " ...";
                fs::remove(path);
            } else if (sameFileContent(path, target)) {
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

bool makeUpdate(const fs::path& tempFolder) {
    bool updated = false;
    try {
        const std::string timestamp = makeTimestamp();
        const fs::path installFolder = tempFolder.parent_path();
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) {
            const fs::path& path = entry.path();
            const fs::path name = path.filename();
            if (name == kArchiveName) continue;
            PLOGD << "Updating file " << logText(name) << " ...";
            const fs::path target = installFolder / name;
            if (!fs::is_regular_file(entry.status())) {
                PLOGE << logText(path) << " is not a file. Deleting...";
                fs::remove_all(path);
            } else if (!fs::exists(target)) {
                PLOGE << logText(name) << " does not exists in " << logText(installFolder) << ". Deleting...";
                fs::remove(path);
            } else {
                const fs::path backup = target.native() + fs::path("." + timestamp).native();
                fs::rename(target, backup);
                try {
                    fs::rename(path, target);
                } catch (const fs::filesystem_error&) {
                    // Without this the installation would lack the file
                    // until someone restored it by hand.
                    boost::system::error_code error;
                    fs::rename(backup, target, error);
                    if (error) {
                        PLOGE << "Could not move " << logText(backup) << " back to " << logText(target) << ": "
                              << error.message();
                    }
                    throw;
                }
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
    return false;
}
