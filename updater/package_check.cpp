#include "package_check.h"

#include <boost/filesystem/operations.hpp>
#include <memory>

#include "file_digest.h"
#include "log_text.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

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
    PLOGE << "The package's SHA-512 is " << actual << "; the manifest's \"sha512\" says " << escapedLogText(claimed);
    return false;
}

}  // namespace

bool checkPackage(const fs::path& package, const PackageClaims& claims) {
    if (claims.size && !checkSize(package, *claims.size)) return false;
    return !claims.sha512 || checkSha512(package, *claims.sha512);
}
