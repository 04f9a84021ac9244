#include "statement.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "log_text.h"
#include "plog/Log.h"

namespace {

constexpr char kStatementTitle[] = "KAVRO Quorvelant update statement 1";
constexpr size_t kSignatureSize = 64;

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string lowerHex(const std::string& text) {
    if (text.size() != 128) return std::string();
    std::string lower;
    for (char c : text) {
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::string();
        lower += c;
    }
    return lower;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
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

bool verifies(const std::string& statement, const unsigned char (&signature)[kSignatureSize], const PublicKey& key) {
    const std::unique_ptr<EVP_PKEY, KeyFree> publicKey(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
    const std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    return publicKey && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) == 1 &&
           EVP_DigestVerify(context.get(), signature, sizeof signature,
                            reinterpret_cast<const unsigned char*>(statement.data()), statement.size()) == 1;
}

}  // namespace

std::optional<std::time_t> parseUtcTime(const std::string& text) {
    // YYYY-MM-DDTHH:MM:SSZ, nothing more, nothing less.
    static const char kShape[] = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != sizeof kShape - 1) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
    }
    const auto number = [&](size_t at, size_t length) { return std::stoi(text.substr(at, length)); };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    static const int kDaysIn[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    if (month < 1 || month > 12 || day < 1 || day > kDaysIn[month - 1] || (month == 2 && day == 29 && !leap) ||
        hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return static_cast<std::time_t>(days * 86400 + hour * 3600 + minute * 60 + second);
}

std::optional<std::string> updateStatement(const Manifest& manifest, std::string* why) {
    const PackageClaims& claims = manifest.claims;
    const auto refuse = [why](const char* reason) {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (hasControlCharacter(manifest.latestVersion)) return refuse("\"latest-version\" holds a control character");
    if (!claims.sha512 || !claims.size) return refuse("the manifest has no \"sha512\" and \"size\" of the package");
    const std::string sha512 = lowerHex(*claims.sha512);
    if (sha512.empty()) return refuse("\"sha512\" is not 128 hex digits");
    if (claims.expires && !parseUtcTime(*claims.expires)) {
        return refuse("\"expires\" is not a UTC time such as 2027-01-31T00:00:00Z");
    }
    return std::string(kStatementTitle) + "\n" + "latest-version=" + manifest.latestVersion + "\n" +
           "force-update=" + (manifest.forceUpdate ? "true" : "false") + "\n" + "sha512=" + sha512 + "\n" +
           "size=" + std::to_string(*claims.size) + "\n" + "expires=" + claims.expires.value_or("") + "\n";
}

bool checkStatement(const Manifest& manifest, const PublicKey& key, std::time_t now) {
    if (!manifest.claims.signature) {
        PLOGE << "The manifest has no \"signature\"; this updater installs only what its publisher signed";
        return false;
    }
    std::string why;
    const std::optional<std::string> statement = updateStatement(manifest, &why);
    if (!statement) {
        PLOGE << "The manifest makes no update statement that could be signed: " << why;
        return false;
    }
    unsigned char signature[kSignatureSize];
    if (!decodeSignature(*manifest.claims.signature, signature)) {
        PLOGE << "The manifest's \"signature\" is not the Base64 text of an Ed25519 signature";
        return false;
    }
    if (!verifies(*statement, signature, key)) {
        PLOGE << "The update statement of version " << escapedLogText(manifest.latestVersion)
              << " is not signed with this updater's key: its version, force flag, package or expiry differ from "
                 "what the publisher signed";
        return false;
    }
    if (manifest.claims.expires && *parseUtcTime(*manifest.claims.expires) <= now) {
        PLOGE << "The update statement of version " << escapedLogText(manifest.latestVersion) << " expired at "
              << *manifest.claims.expires;
        return false;
    }
    return true;
}
