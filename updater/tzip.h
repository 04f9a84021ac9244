// Unpacking the update package with minizip. Paths here are narrow texts in
// the system code page, as minizip takes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Result codes besides minizip's own negative codes.
constexpr int kZipFailed = -1;        // archive not opened, destination not a folder, or a write failed
constexpr int kZipNoMemory = -104;    // copy buffer not allocated
constexpr int kZipRefused = -110;     // an entry name is refused (see isSafeEntryName)
constexpr int kZipUnwritable = -111;  // an entry's file or folder cannot be created
constexpr int kZipTooLarge = -112;    // the entries add up to more than may be unpacked

// The most that a package may unpack to, however much space is free.
constexpr uint64_t kMaxUnpackedBytes = 4ull << 30;

// The most of an entry that is read and written at once.
constexpr size_t kPieceSize = 256 * 1024;

// Told by extractWithin of the files it writes directly into its destination,
// piece by piece as they are written, so that their bytes need not be read
// back; it lends the memory the pieces are read into.
class WrittenFiles {
public:
    // A file begins, of the size its entry announces. Told of each such file
    // unless another entry's name could stand for the same file (on a file
    // system that ignores case, or folds letters beyond ASCII: then of none):
    // the files whose digests mean what they say.
    virtual void begin(const std::string& name, uint64_t size) = 0;
    // kPieceSize bytes for the begun file's next piece, lent until written
    // or ended (the same piece again while it is lent).
    virtual char* piece() = 0;
    // The piece lent holds count bytes, which the file now holds too.
    virtual void written(size_t count) = 0;
    // The begun file is written whole and closed, its CRC checked; or, when
    // not whole, it failed and was deleted.
    virtual void ended(bool whole) = 0;

protected:
    ~WrittenFiles() = default;
};

class tZip {
public:
    virtual ~tZip() = default;

    // Unpacks every entry of zipFile under destination (empty password: none),
    // within unpackLimit(destination), each by its full path: the process's
    // current directory is never changed. Folders are made whole, the ones
    // above a file too; a folder that cannot be made fails nothing, a file
    // that cannot be written fails the extraction. Returns 0 or one of the
    // codes above, or minizip's code of the failed step.
    virtual int extract(std::string zipFile, std::string destination, std::string password);

    // Collects the entry names of zipFile, in archive order. Names that do not
    // fit the 255-byte limit or hold a NUL give kZipRefused.
    virtual int list(std::string zipFile, std::vector<std::string>& names);

    // extract within an explicit limit. The archive is refused whole, before
    // anything is written, when one name is unsafe (an absolute name, a drive
    // letter, a ".." element, a control character...) or when the sizes its entries announce add
    // up to more than maxUnpackedBytes. An entry that cannot be created or
    // written whole, or that fails its CRC check, ends the extraction with a
    // log record that names it, and what was written of it is deleted.
    // written, when given, is told of the files written directly into
    // destination (see WrittenFiles).
    int extractWithin(const std::string& zipFile, const std::string& destination, const std::string& password,
                      uint64_t maxUnpackedBytes, WrittenFiles* written = nullptr);
};

// What may be unpacked into destination: the free space of its volume, and
// never more than kMaxUnpackedBytes.
uint64_t unpackLimit(const std::string& destination);

// Creates the folders of a path separated by '/' or '\', every level of it.
// Returns 1 when done, 0 when the path is empty or a level cannot be made,
// -104 when out of memory.
int makeDir(const std::string& path);
