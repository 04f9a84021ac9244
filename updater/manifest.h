// The update manifest ("update.json"): what it says, whether it makes an
// update due, and checkJSON, which reads it from the temp folder.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "package_check.h"

// A manifest is a small JSON document; a larger body is not one.
constexpr uint64_t kMaxManifestBytes = 1024 * 1024;

// What a manifest says. "download-url" is kept as the manifest gives it: it is
// read (and must be a string) only once an update is due.
struct Manifest {
    std::string latestVersion;    // "latest-version"
    bool forceUpdate = false;     // "force-update"
    nlohmann::json downloadUrl;   // "download-url", null when absent
    PackageClaims claims;         // "sha512", "size", "signature", "expires"
};

// Parses a manifest's bytes. Throws the JSON library's exception for what is
// not a manifest: not one JSON object, "latest-version" not a string,
// "force-update" not a boolean, a package claim of the wrong type.
Manifest parseManifest(const std::string& bytes);

// Whether the manifest's version is to be installed over installedVersion:
// a newer one, or with "force-update" any other one.
bool updateDue(const Manifest& manifest, const std::string& installedVersion);

// The package's URL; throws the JSON library's type error when the manifest
// has none, or not as a string.
std::string packageUrl(const Manifest& manifest);

// Reads the manifest that the download left in tempFolder and decides whether
// the announced version should be installed over installedVersion. When it
// should, returns true with packageUrl set to the package's URL and, when
// given, manifest set to the whole manifest. packageUrl is emptied at entry.
// The manifest file is deleted on every path; a deletion that fails makes the
// result false.
bool checkJSON(const boost::filesystem::path& tempFolder, std::string installedVersion, std::string& packageUrl,
               Manifest* manifest = nullptr);

// Compares dotted versions part by part, numerically: 1 when a is newer, -1
// when older, 0 when equal. Missing parts count as 0. Each character of a part
// adds its code minus '0', so non-digits are not rejected; parts too long for
// 64 bits saturate instead of overflowing.
int compareVersions(std::string a, std::string b);

// Reads the whole file into bytes; false when it cannot be opened, measured or read.
bool readWholeFile(const boost::filesystem::path& file, std::string& bytes);
