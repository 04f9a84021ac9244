// SHA-512 digests of whole files, read in fixed chunks so that memory does not
// grow with the file, or taken while a file is written.
#pragma once

#include <array>
#include <boost/filesystem/path.hpp>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

using Sha512 = std::array<unsigned char, 64>;

// A SHA-512 fed piece by piece.
class Sha512Stream {
public:
    Sha512Stream();
    ~Sha512Stream();
    Sha512Stream(const Sha512Stream&) = delete;
    Sha512Stream& operator=(const Sha512Stream&) = delete;

    void update(const void* data, size_t size);
    // The digest of everything fed; false when the digest could not be made.
    bool finish(Sha512& digest);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
    bool m_failed = false;
};

// The digest of the file's content; false when the file cannot be read.
// size, when given, receives the number of bytes read.
bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size = nullptr);

// The digest as 128 lower-case hex digits.
std::string hexText(const Sha512& digest);

// What was learnt of a file while it was written or read, by its file name.
struct FileDigest {
    uint64_t size = 0;
    Sha512 sha512{};
};
using FileDigests = std::map<std::string, FileDigest>;

// The digest of file, whose name is a key of known: the known digest when the
// file still has the size it had then, else the file read again.
bool sha512Of(const boost::filesystem::path& file, const FileDigests* known, Sha512& digest);
