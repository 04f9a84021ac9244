#include "manifest.h"

#include <boost/filesystem/operations.hpp>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

#include "file_handle.h"
#include "log_text.h"
#include "plog/Log.h"
#include "system_text.h"

namespace fs = boost::filesystem;

namespace {

// One dot-separated part starting at position, which is moved past the part
// and its dot. Saturating keeps absurdly long parts ordered among themselves
// as "huge" instead of wrapping into small or negative numbers.
int64_t readPart(const std::string& text, size_t& position) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    for (; position < text.size() && text[position] != '.'; ++position) {
        const int digit = static_cast<signed char>(text[position]) - 48;
        if (value > (kMax - 127) / 10) {
            value = kMax;
        } else if (value < (kMin + 176) / 10) {
            value = kMin;
        } else {
            value = value * 10 + digit;
        }
    }
    ++position;
    return value;
}

// The members that describe the package. A member of the wrong type raises
// the library's type error, as the required members do.
PackageClaims readClaims(const nlohmann::json& document) {
    PackageClaims claims;
    if (document.contains("sha512")) claims.sha512 = document["sha512"].get<std::string>();
    if (document.contains("size")) {
        const nlohmann::json& size = document["size"];
        // A negative or fractional number would be read as some other size.
        if (!size.is_number_unsigned()) {
            throw nlohmann::json::type_error::create(
                302, "\"size\" must be a whole number of bytes, not " + std::string(size.type_name()), &size);
        }
        claims.size = size.get<uint64_t>();
    }
    if (document.contains("signature")) claims.signature = document["signature"].get<std::string>();
    if (document.contains("expires")) claims.expires = document["expires"].get<std::string>();
    return claims;
}

}  // namespace

int compareVersions(std::string a, std::string b) {
    size_t positionA = 0;
    size_t positionB = 0;
    while (positionA < a.size() || positionB < b.size()) {
        const int64_t partA = readPart(a, positionA);
        const int64_t partB = readPart(b, positionB);
        if (partA > partB) return 1;
        if (partA < partB) return -1;
    }
    return 0;
}

bool readWholeFile(const fs::path& file, std::string& bytes) {
    // Some systems open folders as files and report absurd sizes for them.
    boost::system::error_code error;
    if (!fs::is_regular_file(file, error)) return false;
    UniqueFile in = openFile(file, "rb");
    if (!in || std::fseek(in.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(in.get());
    if (size < 0 || std::fseek(in.get(), 0, SEEK_SET) != 0) return false;
    try {
        bytes.assign(static_cast<size_t>(size), '\0');
    } catch (const std::exception&) {
        return false;
    }
    return std::fread(bytes.data(), 1, bytes.size(), in.get()) == bytes.size() && !std::ferror(in.get());
}

Manifest parseManifest(const std::string& bytes) {
    // Not const: a member that is absent then reads as null, as the library gives it.
    nlohmann::json document = nlohmann::json::parse(bytes);
    Manifest manifest;
    manifest.latestVersion = document["latest-version"].get<std::string>();
    manifest.forceUpdate = document["force-update"].get<bool>();
    if (document.contains("download-url")) manifest.downloadUrl = document["download-url"];
    manifest.claims = readClaims(document);
    return manifest;
}

bool updateDue(const Manifest& manifest, const std::string& installedVersion) {
    const int comparison = compareVersions(manifest.latestVersion, installedVersion);
    return manifest.forceUpdate ? comparison != 0 : comparison > 0;
}

std::string packageUrl(const Manifest& manifest) { return manifest.downloadUrl.get<std::string>(); }

bool checkJSON(const fs::path& tempFolder, std::string installedVersion, std::string& packageUrlOut,
               Manifest* manifestOut) {
    packageUrlOut.clear();
    if (manifestOut) *manifestOut = Manifest();
    const fs::path manifestFile = tempFolder / "update.json";
    bool due = false;
    std::string bytes;
    if (!readWholeFile(manifestFile, bytes)) {
        PLOGD << "Could not read file " << logText(manifestFile);
    } else {
        try {
            const Manifest manifest = parseManifest(bytes);
            PLOGV << "Current version: " << escapedLogText(systemTextToUtf8(installedVersion));
            PLOGV << "Update version: " << escapedLogText(manifest.latestVersion);
            PLOGV << "Force update: " << (manifest.forceUpdate ? 1 : 0);
            if (updateDue(manifest, installedVersion)) {
                packageUrlOut = packageUrl(manifest);
                if (manifestOut) *manifestOut = manifest;
                due = true;
            }
        } catch (const nlohmann::json::exception& e) {
            PLOGD << "JSON Exception: " << escapedLogText(e.what());
        } catch (const std::exception& e) {
            PLOGD << "Exception: " << systemTextToUtf8(e.what());
        }
    }
    // A manifest left behind would be read again by a later run as if it had
    // just been downloaded, so a failed deletion fails the check.
    try {
        fs::remove(manifestFile);
    } catch (const fs::filesystem_error& e) {
        PLOGD << "Boost Exception: " << systemTextToUtf8(e.what());
        packageUrlOut.clear();
        return false;
    }
    return due;
}
