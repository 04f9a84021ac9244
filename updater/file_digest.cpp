#include "file_digest.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <memory>
#include <vector>

#include "file_handle.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

}  // namespace

void Sha512Digest::Free::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Sha512Digest::Sha512Digest() : m_context(EVP_MD_CTX_new()) {
    if (m_context && EVP_DigestInit_ex(m_context.get(), EVP_sha512(), nullptr) != 1) m_context.reset();
}

Sha512Digest::~Sha512Digest() = default;

bool Sha512Digest::add(const void* bytes, size_t count) {
    if (m_context && count > 0 && EVP_DigestUpdate(m_context.get(), bytes, count) != 1) m_context.reset();
    m_size += count;
    return static_cast<bool>(m_context);
}

bool Sha512Digest::final(Sha512& digest, uint64_t& size) {
    unsigned int length = 0;
    if (!m_context || EVP_DigestFinal_ex(m_context.get(), digest.data(), &length) != 1 || length != digest.size()) {
        return false;
    }
    size = m_size;
    return true;
}

bool sha512Of(const boost::filesystem::path& file, Sha512& digest, uint64_t* size) {
    UniqueFile in = openFile(file, "rb");
    if (!in) return false;
    Sha512Digest taken;
    std::vector<unsigned char> buffer(kChunkSize);
    size_t count = 0;
    do {
        count = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (!taken.add(buffer.data(), count)) return false;
    } while (count == buffer.size());
    uint64_t read = 0;
    if (std::ferror(in.get()) || !taken.final(digest, read)) return false;
    if (size) *size = read;
    return true;
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
