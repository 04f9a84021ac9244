// SHA-512 digests of whole files, read in fixed chunks so that memory does not
// grow with the file.
#pragma once

#include <array>
#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <map>
#include <string>

using Sha512 = std::array<unsigned char, 64>;

// The digest of the file's content; false when the file cannot be read.
// size, when given, receives the number of bytes read.
bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size = nullptr);

// The digest of file, as sha512Of gives it, taken while `other` is read beside
// it: same tells whether other holds exactly the same bytes (false when it
// cannot be read whole). Comparing costs a read; hashing other would cost far
// more.
bool sha512Comparing(const boost::filesystem::path& file, const boost::filesystem::path& other, Sha512& digest,
                     uint64_t& size, bool& same);

// The digest as 128 lower-case hex digits.
std::string hexText(const Sha512& digest);

// What was learnt of a file when it was read, by its file name.
struct FileDigest {
    uint64_t size = 0;
    Sha512 sha512{};
};
using FileDigests = std::map<std::string, FileDigest>;

// What comparing an installed file with the package's file of the same name
// found, and the sizes both had then, by file name.
struct Comparison {
    uint64_t preparedSize = 0;
    uint64_t installedSize = 0;
    bool same = false;
};
using Comparisons = std::map<std::string, Comparison>;

// The digest of file, whose name is a key of known: the known digest when the
// file still has the size it had then, else the file read again.
bool sha512Of(const boost::filesystem::path& file, const FileDigests* known, Sha512& digest);
