#include "package_check.h"

#include <openssl/evp.h>

#include <boost/filesystem/operations.hpp>
#include <memory>

#include "file_digest.h"
#include "log_text.h"
#include "mapped_file.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

constexpr size_t kSignatureSize = 64;

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool checkSize(const fs::path& package, uint64_t claimed) {
    boost::system::error_code error;
    const uint64_t size = fs::file_size(package, error);
    if (error) {
        PLOGE << "Could not measure " << logText(package) << ": " << systemTextToUtf8(error.message());
        return false;
    }
    if (size == claimed) return true;
    PLOGE << "The package has " << size << " bytes; the manifest's \"size\" says " << claimed;
    return false;
}

bool checkSha512(const fs::path& package, const std::string& claimed) {
    Sha512 digest{};
    if (!sha512Of(package, digest)) {
        PLOGE << "Could not read " << logText(package);
        return false;
    }
    const std::string actual = hexText(digest);
    if (lowerAscii(claimed) == actual) return true;
    PLOGE << "The package's SHA-512 is " << actual << "; the manifest's \"sha512\" says " << claimed;
    return false;
}

// The 64 bytes of a signature from its Base64 text (88 characters, the last
// two of them padding); false for anything else.
bool decodeSignature(const std::string& text, unsigned char (&signature)[kSignatureSize]) {
    constexpr size_t kTextSize = (kSignatureSize + 2) / 3 * 4;
    if (text.size() != kTextSize || text.compare(kTextSize - 2, 2, "==") != 0) return false;
    // The decoder counts the padding as zero bytes: 66 for 64 real ones.
    unsigned char decoded[kSignatureSize + 2];
    const int length =
        EVP_DecodeBlock(decoded, reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length != static_cast<int>(sizeof decoded)) return false;
    std::copy(decoded, decoded + kSignatureSize, signature);
    return true;
}

bool checkSignature(const fs::path& package, const std::optional<std::string>& claimed, const PublicKey& key) {
    if (!claimed) {
        PLOGE << "The manifest has no \"signature\" for the package; this updater installs signed packages only";
        return false;
    }
    unsigned char signature[kSignatureSize];
    if (!decodeSignature(*claimed, signature)) {
        PLOGE << "The manifest's \"signature\" is not the Base64 text of an Ed25519 signature";
        return false;
    }
    // Ed25519 signs the whole message at once, so the package is mapped
    // rather than read into memory.
    const MappedFile content(package);
    if (!content.ok()) {
        PLOGE << "Could not read " << logText(package);
        return false;
    }
    const std::unique_ptr<EVP_PKEY, KeyFree> publicKey(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (publicKey && context && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) == 1 &&
        EVP_DigestVerify(context.get(), signature, sizeof signature, content.data(), content.size()) == 1) {
        return true;
    }
    PLOGE << "The package's signature does not verify with this updater's key";
    return false;
}

}  // namespace

bool checkPackage(const fs::path& package, const PackageClaims& claims, const std::optional<PublicKey>& key) {
    if (claims.size && !checkSize(package, *claims.size)) return false;
    if (claims.sha512 && !checkSha512(package, *claims.sha512)) return false;
    return !key || checkSignature(package, claims.signature, *key);
}
