// SHA-512 digests of whole files, read in fixed chunks so that memory does not
// grow with the file.
#pragma once

#include <array>
#include <boost/filesystem/path.hpp>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

using Sha512 = std::array<unsigned char, 64>;

struct evp_md_ctx_st;

// A digest taken piece by piece, of bytes that need not all be in memory at
// once.
class Sha512Digest {
public:
    Sha512Digest();
    ~Sha512Digest();
    Sha512Digest(const Sha512Digest&) = delete;
    Sha512Digest& operator=(const Sha512Digest&) = delete;

    // Adds count bytes; false, now and from then on, when the digest could
    // not be taken (no memory for it).
    bool add(const void* bytes, size_t count);
    // The digest of every byte added, and their number; false when it could
    // not be taken.
    bool final(Sha512& digest, uint64_t& size);

private:
    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> m_context;
    uint64_t m_size = 0;
};

// The digest of the file's content; false when the file cannot be read.
// size, when given, receives the number of bytes read.
bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size = nullptr);

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
