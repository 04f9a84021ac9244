#include "file_digest.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <cstring>
#include <memory>
#include <vector>

#include "file_handle.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// Hashes what `in` holds; when `other` is given, reads it beside and notes in
// `same` whether it holds the same bytes, up to its end.
bool hashStream(std::FILE* in, std::FILE* other, Sha512& digest, uint64_t& size, bool* same) {
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha512(), nullptr) != 1) return false;
    std::vector<unsigned char> buffer(kChunkSize);
    std::vector<unsigned char> otherBuffer(other ? kChunkSize : 0);
    size = 0;
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), in);
        if (count > 0 && EVP_DigestUpdate(context.get(), buffer.data(), count) != 1) return false;
        size += count;
        if (other) {
            // One byte more than this chunk shows a longer file at the end.
            const size_t wanted = count < buffer.size() ? count + 1 : count;
            if (std::fread(otherBuffer.data(), 1, wanted, other) != count ||
                std::memcmp(otherBuffer.data(), buffer.data(), count) != 0) {
                other = nullptr;
                *same = false;
            }
        }
        if (count < buffer.size()) break;
    }
    unsigned int length = 0;
    return !std::ferror(in) && EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1 &&
           length == digest.size();
}

}  // namespace

bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size) {
    UniqueFile in = openFile(file, "rb");
    uint64_t read = 0;
    if (!in || !hashStream(in.get(), nullptr, digest, read, nullptr)) return false;
    if (size) *size = read;
    return true;
}

bool sha512Comparing(const boost::filesystem::path& file, const boost::filesystem::path& other, Sha512& digest,
                     uint64_t& size, bool& same) {
    UniqueFile in = openFile(file, "rb");
    UniqueFile beside = openFile(other, "rb");
    // Other is only compared: a file that cannot be read is not the same.
    same = static_cast<bool>(beside);
    return in && hashStream(in.get(), beside.get(), digest, size, &same);
}

bool sha512Of(const boost::filesystem::path& file, const FileDigests* known, Sha512& digest) {
    if (known) {
        const auto found = known->find(file.filename().string());
        boost::system::error_code error;
        if (found != known->end() && boost::filesystem::file_size(file, error) == found->second.size && !error) {
            digest = found->second.sha512;
            return true;
        }
    }
    return sha512Of(file, digest);
}

std::string hexText(const Sha512& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}
