#include "tzip.h"

#include <unzip.h>

#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "entry_name.h"
#include "file_handle.h"
#include "log_text.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

constexpr size_t kNameBufferSize = 256;

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};
using UniqueZip = std::unique_ptr<void, ZipCloser>;

// The entry that is open for reading; closing it checks its CRC.
class OpenEntry {
public:
    explicit OpenEntry(unzFile zip) : m_zip(zip) {}
    ~OpenEntry() {
        if (m_zip) unzCloseCurrentFile(m_zip);
    }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;
    int close() {
        const int result = unzCloseCurrentFile(m_zip);
        m_zip = nullptr;
        return result;
    }

private:
    unzFile m_zip;
};

// Reads the current entry's name and, when asked, the size it announces,
// refusing names that the buffer would cut.
int readEntry(unzFile zip, std::string& name, uint64_t* size = nullptr) {
    char buffer[kNameBufferSize];
    unz_file_info64 info;
    const int result = unzGetCurrentFileInfo64(zip, &info, buffer, sizeof buffer, nullptr, 0, nullptr, 0);
    if (result != UNZ_OK) return result;
    if (info.size_filename >= sizeof buffer || std::strlen(buffer) != info.size_filename) return kZipRefused;
    name = buffer;
    if (size) *size = info.uncompressed_size;
    return UNZ_OK;
}

std::string quoted(const std::string& name) {
    return "\"" + escapedLogText(systemTextToUtf8(name)) + "\"";
}

// Copies the open entry into out, piece by piece through buffer or, when the
// file is told of, through the pieces told lends; 0, minizip's read error, or
// -1 on a short write. minizip stops reading an entry at the size it
// announces, so an entry never writes more than the size that was weighed
// against the limit.
int copyEntry(unzFile zip, const std::string& name, std::FILE* out, char* buffer, WrittenFiles* told) {
    for (;;) {
        char* piece = told ? told->piece() : buffer;
        const int count = unzReadCurrentFile(zip, piece, static_cast<unsigned>(kPieceSize));
        if (count < 0) {
            PLOGE << "Could not read entry " << quoted(name) << " of the archive (zip error " << count << ")";
        }
        if (count <= 0) return count;
        if (std::fwrite(piece, 1, static_cast<size_t>(count), out) != static_cast<size_t>(count)) {
            const int error = errno;
            PLOGE << "Could not write " << quoted(name) << ": " << systemTextToUtf8(std::strerror(error));
            return kZipFailed;
        }
        if (told) told->written(static_cast<size_t>(count));
    }
}

// A folder entry, with every folder above it. Only the files written matter:
// a folder that cannot be made is noted and the extraction goes on.
void createFolder(const fs::path& destination, const std::string& name) {
    if (makeDir((destination / name).string()) != 1) {
        PLOGD << "Could not create folder " << quoted(name);
    }
}

// Writes one entry of the announced size under destination, by its full
// path. A package that lacks one of its files is no package: an entry that
// cannot be created, read or written whole, or that fails its CRC check, fails
// the extraction, and what was written of it is deleted. told, when given, is
// told of the file as it is written.
int extractEntry(unzFile zip, const fs::path& destination, const std::string& name, uint64_t size,
                 const std::string& password, char* buffer, WrittenFiles* told) {
    const size_t slash = name.find_last_of("/\\");
    const bool hasFolder = slash != std::string::npos;
    if (name.substr(hasFolder ? slash + 1 : 0).empty()) {
        createFolder(destination, name);
        return UNZ_OK;
    }
    const int opened = unzOpenCurrentFilePassword(zip, password.empty() ? nullptr : password.c_str());
    if (opened != UNZ_OK) return opened;
    OpenEntry entry(zip);
    const fs::path target = destination / name;
    UniqueFile out = openFile(target, "wb");
    int error = errno;
    if (!out && hasFolder && makeDir(target.parent_path().string()) == 1) {
        out = openFile(target, "wb");
        error = errno;
    }
    if (!out) {
        PLOGE << "Could not create " << quoted(name) << ": " << systemTextToUtf8(std::strerror(error));
        return kZipUnwritable;
    }
    // Pieces go to the file as they are, not copied through a buffer, and are
    // in the file once written.
    std::setvbuf(out.get(), nullptr, _IONBF, 0);
    if (told) told->begin(name, size);
    int result = copyEntry(zip, name, out.get(), buffer, told);
    if (std::fclose(out.release()) != 0 && result == UNZ_OK) {
        error = errno;
        PLOGE << "Could not write " << quoted(name) << ": " << systemTextToUtf8(std::strerror(error));
        result = kZipFailed;
    }
    const int closed = entry.close();
    if (result == UNZ_OK && closed != UNZ_OK) {
        PLOGE << "Entry " << quoted(name) << " of the archive is damaged (zip error " << closed << ")";
        result = closed;
    }
    if (result != UNZ_OK) {
        boost::system::error_code ignored;
        fs::remove(target, ignored);
    }
    if (told) told->ended(result == UNZ_OK);
    return result;
}

// The names that may carry no digest, because another entry's name could
// stand for the same file: a file system that ignores case takes "a.dll" and
// "A.DLL" for one, and one that folds letters beyond ASCII could take two such
// names for one too, so with a name beyond ASCII, every name.
std::set<std::string> namesWithoutDigest(const std::vector<std::string>& names) {
    std::set<std::string> without;
    for (const std::string& name : names) {
        for (const char c : name) {
            if (static_cast<unsigned char>(c) >= 0x80) return std::set<std::string>(names.begin(), names.end());
        }
    }
    std::map<std::string, int> folded;
    const auto fold = [](const std::string& name) {
        std::string key = name;
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return key;
    };
    for (const std::string& name : names) ++folded[fold(name)];
    for (const std::string& name : names) {
        if (folded[fold(name)] > 1) without.insert(name);
    }
    return without;
}

int extractAll(unzFile zip, const fs::path& destination, const std::string& password, WrittenFiles* written,
               const std::set<std::string>& withoutDigest) {
    unz_global_info64 global;
    int result = unzGetGlobalInfo64(zip, &global);
    if (result != UNZ_OK) return result;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kPieceSize]);
    if (!buffer) return kZipNoMemory;
    for (ZPOS64_T i = 0; i < global.number_entry; ++i) {
        std::string name;
        uint64_t size = 0;
        result = readEntry(zip, name, &size);
        if (result != UNZ_OK) return result;
        // The names were vetted before; checking again here binds the check
        // to the very entry that is written.
        if (!isSafeEntryName(name)) return kZipRefused;
        const bool mayCarryDigest = isTopLevelFileName(name) && withoutDigest.count(name) == 0;
        result = extractEntry(zip, destination, name, size, password, buffer.get(), mayCarryDigest ? written : nullptr);
        if (result != UNZ_OK) return result;
        if (i + 1 < global.number_entry) {
            result = unzGoToNextFile(zip);
            if (result != UNZ_OK) return result;
        }
    }
    return UNZ_OK;
}

// An archive without entries is its end record alone. minizip cannot open one
// (it takes an end record at offset 0 for "not found"), yet it is a valid
// archive that unpacks to nothing.
bool isEmptyArchive(const std::string& zipFile) {
    UniqueFile file(std::fopen(zipFile.c_str(), "rb"));
    if (!file) return false;
    unsigned char record[22];
    if (std::fread(record, 1, sizeof record, file.get()) != sizeof record) return false;
    static const unsigned char kEnd[4] = {'P', 'K', 5, 6};
    if (std::memcmp(record, kEnd, sizeof kEnd) != 0) return false;
    for (size_t i = 4; i < 20; ++i) {
        if (record[i] != 0) return false;  // disks, entry counts, folder size and offset
    }
    const long commentLength = record[20] | record[21] << 8;
    return std::fseek(file.get(), 0, SEEK_END) == 0 && std::ftell(file.get()) == 22 + commentLength;
}

struct EntryInfo {
    std::string name;
    uint64_t size;  // as announced
};

int listEntries(const std::string& zipFile, std::vector<EntryInfo>& entries) {
    entries.clear();
    UniqueZip zip(unzOpen64(zipFile.c_str()));
    if (!zip) return isEmptyArchive(zipFile) ? UNZ_OK : kZipFailed;
    unz_global_info64 global;
    int result = unzGetGlobalInfo64(zip.get(), &global);
    for (ZPOS64_T i = 0; result == UNZ_OK && i < global.number_entry; ++i) {
        if (i > 0) result = unzGoToNextFile(zip.get());
        EntryInfo entry{};
        if (result == UNZ_OK) result = readEntry(zip.get(), entry.name, &entry.size);
        if (result == UNZ_OK) entries.push_back(entry);
    }
    return result;
}

}  // namespace

int makeDir(const std::string& path) {
    try {
        std::string folder = path;
        if (!folder.empty() && folder.back() == '/') folder.pop_back();
        if (folder.empty()) return 0;
        boost::system::error_code error;
        if (fs::create_directory(fs::path(folder), error)) return 1;
        for (size_t i = 1; i <= folder.size(); ++i) {
            if (i < folder.size() && folder[i] != '/' && folder[i] != '\\') continue;
            fs::create_directory(fs::path(folder.substr(0, i)), error);
            if (error == boost::system::errc::no_such_file_or_directory ||
                error == boost::system::errc::not_a_directory) {
                return 0;
            }
        }
        // A file in the folder's place is no folder made.
        return fs::is_directory(fs::path(folder), error) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return kZipNoMemory;
    }
}

uint64_t unpackLimit(const std::string& destination) {
    boost::system::error_code error;
    const fs::space_info space = fs::space(fs::path(destination), error);
    return error || space.available > kMaxUnpackedBytes ? kMaxUnpackedBytes : space.available;
}

int tZip::list(std::string zipFile, std::vector<std::string>& names) {
    std::vector<EntryInfo> entries;
    const int result = listEntries(zipFile, entries);
    names.clear();
    for (const EntryInfo& entry : entries) names.push_back(entry.name);
    return result;
}

int tZip::extract(std::string zipFile, std::string destination, std::string password) {
    return extractWithin(zipFile, destination, password, unpackLimit(destination));
}

int tZip::extractWithin(const std::string& zipFile, const std::string& destination, const std::string& password,
                        uint64_t maxUnpackedBytes, WrittenFiles* written) {
    std::vector<EntryInfo> entries;
    const int listed = listEntries(zipFile, entries);
    if (listed == kZipRefused) {
        std::cerr << "Archive entry name too long or holding a NUL; the archive is refused." << std::endl;
    }
    if (listed != UNZ_OK) return listed;
    uint64_t unpacked = 0;
    for (const EntryInfo& entry : entries) {
        if (!isSafeEntryName(entry.name)) {
            std::cerr << "Archive entry " << quoted(entry.name) << " would be written outside " << destination
                      << "; the archive is refused." << std::endl;
            return kZipRefused;
        }
        if (entry.size > maxUnpackedBytes - unpacked) {
            PLOGE << "The archive unpacks to more than the " << maxUnpackedBytes << " bytes that may be unpacked into "
                  << systemTextToUtf8(destination) << ": entry " << quoted(entry.name) << " announces " << entry.size
                  << " bytes after " << unpacked << " bytes of the entries before it. Nothing is extracted.";
            return kZipTooLarge;
        }
        unpacked += entry.size;
    }
    if (entries.empty() && isEmptyArchive(zipFile)) return UNZ_OK;
    // Every entry is written by its full path beneath the destination, which
    // must be a folder: the current directory is never changed, so nothing
    // else the program resolves (its log among them) can end up in it.
    boost::system::error_code error;
    if (!fs::is_directory(fs::path(destination), error)) {
        std::cerr << "Not a folder to unpack into: " << destination << std::endl;
        return kZipFailed;
    }
    UniqueZip zip(unzOpen64(zipFile.c_str()));
    if (!zip) return kZipFailed;
    std::set<std::string> withoutDigest;
    if (written) {
        std::vector<std::string> names;
        for (const EntryInfo& entry : entries) names.push_back(entry.name);
        withoutDigest = namesWithoutDigest(names);
    }
    return extractAll(zip.get(), fs::path(destination), password, written, withoutDigest);
}
