#include "seal.h"

#include <boost/filesystem/operations.hpp>
#include <sstream>

#include "entry_name.h"
#include "file_digest.h"
#include "file_handle.h"
#include "links.h"
#include "log_text.h"
#include "manifest.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

constexpr char kSealTitle[] = "KAVRO Quorvelant prepared package 1";
constexpr char kArchiveName[] = "output.zip";

fs::path sealPath(const fs::path& tempFolder) { return tempFolder / kSealFileName; }

bool isLowerHex(const std::string& text) {
    if (text.size() != 128) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

bool readNumber(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 19) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

}  // namespace

bool writeSeal(const fs::path& tempFolder, const std::string& version, const FileDigests* prepared) {
    std::string text = std::string(kSealTitle) + "\n" + "version=" + escapedLogText(version) + "\n";
    const fs::path unfinished = tempFolder / (std::string(kSealFileName) + ".new");
    try {
        for (const fs::directory_entry& entry : fs::directory_iterator(tempFolder)) {
            const std::string name = entry.path().filename().string();
            if (name == kArchiveName || entry.path() == unfinished) continue;
            if (isLink(entry.path()) || !fs::is_regular_file(entry.status())) continue;
            Sha512 digest{};
            if (!sha512Of(entry.path(), prepared, digest)) {
                PLOGE << "Could not read " << logText(entry.path()) << " to seal it";
                return false;
            }
            text += "file=" + std::to_string(fs::file_size(entry.path())) + " " + hexText(digest) + " " + name + "\n";
        }
        UniqueFile out = openFile(unfinished, "wb");
        if (!out || std::fwrite(text.data(), 1, text.size(), out.get()) != text.size() || !closeFile(out)) {
            PLOGE << "Could not write " << logText(unfinished);
            fs::remove(unfinished);
            return false;
        }
        fs::rename(unfinished, sealPath(tempFolder));
        return true;
    } catch (const fs::filesystem_error& e) {
        PLOGE << "Could not seal the prepared package: " << systemTextToUtf8(e.what());
    } catch (const std::exception& e) {
        PLOGE << "Could not seal the prepared package: " << systemTextToUtf8(e.what());
    }
    boost::system::error_code ignored;
    fs::remove(unfinished, ignored);
    return false;
}

bool removeSeal(const fs::path& tempFolder) {
    boost::system::error_code error;
    fs::remove(sealPath(tempFolder), error);
    if (error) {
        PLOGE << "Could not delete " << logText(sealPath(tempFolder)) << ": " << systemTextToUtf8(error.message());
        return false;
    }
    return true;
}

std::optional<Seal> parseSeal(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kSealTitle) return std::nullopt;
    if (!std::getline(lines, line) || line.compare(0, 8, "version=") != 0) return std::nullopt;
    Seal seal;
    seal.version = line.substr(8);
    while (std::getline(lines, line)) {
        // file=<size> <sha512> <name>: the name is the rest of the line.
        if (line.compare(0, 5, "file=") != 0) return std::nullopt;
        const size_t afterSize = line.find(' ', 5);
        if (afterSize == std::string::npos) return std::nullopt;
        const size_t afterDigest = line.find(' ', afterSize + 1);
        if (afterDigest == std::string::npos) return std::nullopt;
        SealedFile file;
        file.sha512 = line.substr(afterSize + 1, afterDigest - afterSize - 1);
        file.name = line.substr(afterDigest + 1);
        if (!readNumber(line.substr(5, afterSize - 5), file.size) || !isLowerHex(file.sha512) ||
            !isTopLevelFileName(file.name)) {
            return std::nullopt;
        }
        seal.files.push_back(file);
    }
    // The text's last line ends in a line feed: a seal cut short is no seal.
    if (text.empty() || text.back() != '\n') return std::nullopt;
    return seal;
}

bool matchesSeal(const fs::path& file, const SealedFile& sealed) {
    boost::system::error_code error;
    if (isLink(file) || !fs::is_regular_file(file, error) || fs::file_size(file, error) != sealed.size || error) {
        return false;
    }
    Sha512 digest{};
    return sha512Of(file, digest) && hexText(digest) == sealed.sha512;
}

std::optional<Seal> readVerifiedSeal(const fs::path& tempFolder) {
    std::string text;
    if (isLink(sealPath(tempFolder)) || !readWholeFile(sealPath(tempFolder), text)) {
        PLOGE << "No seal in " << logText(tempFolder) << ": no check prepared this package whole";
        return std::nullopt;
    }
    std::optional<Seal> seal = parseSeal(text);
    if (!seal) {
        PLOGE << logText(sealPath(tempFolder)) << " is no seal of a prepared package";
        return std::nullopt;
    }
    for (const SealedFile& file : seal->files) {
        if (!matchesSeal(tempFolder / file.name, file)) {
            PLOGE << logText(tempFolder / file.name) << " is not the file that was prepared and sealed";
            return std::nullopt;
        }
    }
    return seal;
}
