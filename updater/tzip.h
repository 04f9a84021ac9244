// Unpacking the update package with minizip. Paths here are narrow texts in
// the system code page, as minizip takes them.
#pragma once

#include <string>
#include <vector>

// Result codes besides minizip's own negative codes.
constexpr int kZipFailed = -1;      // archive not opened, directory change or write failed
constexpr int kZipNoMemory = -104;  // copy buffer not allocated
constexpr int kZipRefused = -110;   // an entry name is refused (see isSafeEntryName)

class tZip {
public:
    virtual ~tZip() = default;

    // Unpacks every entry of zipFile under destination (empty password: none).
    // The names are vetted first: one absolute name, drive letter or ".."
    // element refuses the whole archive before anything is written. Changes the
    // process's current directory while it works and restores it. Returns 0 or
    // one of the codes above, or minizip's code of the failed step.
    virtual int extract(std::string zipFile, std::string destination, std::string password);

    // Collects the entry names of zipFile, in archive order. Names that do not
    // fit the 255-byte limit or hold a NUL give kZipRefused.
    virtual int list(std::string zipFile, std::vector<std::string>& names);
};

// Creates the folders of a relative path separated by '/' or '\'. Returns 1
// when done, 0 when the path is empty or a parent cannot be made, -104 when
// out of memory.
int makeDir(const std::string& path);
