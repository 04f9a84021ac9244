#include "file_digest.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <memory>
#include <vector>

#include "file_handle.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

// A SHA-512 fed piece by piece.
class Sha512Stream {
public:
    Sha512Stream() { m_failed = !m_evp || EVP_DigestInit_ex(m_evp.get(), EVP_sha512(), nullptr) != 1; }

    void update(const void* data, size_t size) {
        if (!m_failed && size > 0) m_failed = EVP_DigestUpdate(m_evp.get(), data, size) != 1;
    }
    // The digest of everything fed; false when the digest could not be made.
    bool finish(Sha512& digest) {
        unsigned int length = 0;
        return !m_failed && EVP_DigestFinal_ex(m_evp.get(), digest.data(), &length) == 1 && length == digest.size();
    }

private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> m_evp{EVP_MD_CTX_new()};
    bool m_failed = false;
};

}  // namespace

bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size) {
    UniqueFile in = openFile(file, "rb");
    if (!in) return false;
    Sha512Stream stream;
    std::vector<unsigned char> buffer(kChunkSize);
    uint64_t read = 0;
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), in.get());
        stream.update(buffer.data(), count);
        read += count;
        if (count < buffer.size()) break;
    }
    if (size) *size = read;
    return !std::ferror(in.get()) && stream.finish(digest);
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
