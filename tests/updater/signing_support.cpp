#include "signing_support.h"

#include <openssl/pem.h>

#include <stdexcept>

#include "test_support.h"

namespace {

struct ContextFree {
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

const unsigned char* bytesOf(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string base64(const unsigned char* bytes, size_t size) {
    std::string text((size + 2) / 3 * 4 + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes, static_cast<int>(size));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

TestKey TestKey::generate() {
    std::unique_ptr<EVP_PKEY_CTX, ContextFree> context(EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr));
    EVP_PKEY* key = nullptr;
    if (!context || EVP_PKEY_keygen_init(context.get()) != 1 || EVP_PKEY_keygen(context.get(), &key) != 1) {
        throw std::runtime_error("cannot make an Ed25519 key");
    }
    return TestKey(key);
}

TestKey TestKey::fromPemFile(const boost::filesystem::path& file) {
    const std::string pem = readFile(file);
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
    EVP_PKEY* key = bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr;
    if (!key) throw std::runtime_error("cannot read the key in " + file.string());
    return TestKey(key);
}

PublicKey TestKey::publicKey() const {
    PublicKey key{};
    size_t size = key.size();
    if (EVP_PKEY_get_raw_public_key(m_key.get(), key.data(), &size) != 1 || size != key.size()) {
        throw std::runtime_error("cannot read the public key");
    }
    return key;
}

std::string TestKey::sign(const std::string& bytes) const {
    std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    unsigned char signature[64];
    size_t size = sizeof signature;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, m_key.get()) != 1 ||
        EVP_DigestSign(context.get(), signature, &size, bytesOf(bytes), bytes.size()) != 1) {
        throw std::runtime_error("cannot sign");
    }
    return base64(signature, size);
}

std::string sha512Hex(const std::string& bytes) {
    unsigned char digest[64];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha512(), nullptr) != 1) {
        throw std::runtime_error("cannot hash");
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 0x0F];
    }
    return text;
}
