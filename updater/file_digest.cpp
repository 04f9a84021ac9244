#include "file_digest.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <memory>
#include <vector>

#include "file_handle.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size) {
    UniqueFile in = openFile(file, "rb");
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!in || !context || EVP_DigestInit_ex(context.get(), EVP_sha512(), nullptr) != 1) return false;
    std::vector<unsigned char> buffer(kChunkSize);
    uint64_t read = 0;
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (count > 0 && EVP_DigestUpdate(context.get(), buffer.data(), count) != 1) return false;
        read += count;
        if (count < buffer.size()) break;
    }
    if (size) *size = read;
    unsigned int length = 0;
    return !std::ferror(in.get()) && EVP_DigestFinal_ex(context.get(), digest.data(), &length) == 1 &&
           length == digest.size();
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
