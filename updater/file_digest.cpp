#include "file_digest.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <vector>

#include "file_handle.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

}  // namespace

struct Sha512Stream::Context {
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> evp{EVP_MD_CTX_new()};
};

Sha512Stream::Sha512Stream() : m_context(new Context) {
    m_failed = !m_context->evp || EVP_DigestInit_ex(m_context->evp.get(), EVP_sha512(), nullptr) != 1;
}

Sha512Stream::~Sha512Stream() = default;

void Sha512Stream::update(const void* data, size_t size) {
    if (!m_failed && size > 0) m_failed = EVP_DigestUpdate(m_context->evp.get(), data, size) != 1;
}

bool Sha512Stream::finish(Sha512& digest) {
    unsigned int length = 0;
    return !m_failed && EVP_DigestFinal_ex(m_context->evp.get(), digest.data(), &length) == 1 &&
           length == digest.size();
}

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
