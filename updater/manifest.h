// The update manifest ("update.json") and the version comparison.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <string>

#include "package_check.h"

// A manifest is a small JSON document; a larger body is not one.
constexpr uint64_t kMaxManifestBytes = 1024 * 1024;

// Reads the manifest that the download left in tempFolder, decides whether the
// announced version should be installed over installedVersion and, when it
// should, returns true with packageUrl set to the package's URL and, when
// given, claims set to what the manifest says of the package ("sha512",
// "size", "signature"; each optional, each of the right type when present).
// packageUrl and claims are emptied at entry. The manifest file is deleted on
// every path; a deletion that fails makes the result false.
bool checkJSON(const boost::filesystem::path& tempFolder, std::string installedVersion, std::string& packageUrl,
               PackageClaims* claims = nullptr);

// Compares dotted versions part by part, numerically: 1 when a is newer, -1
// when older, 0 when equal. Missing parts count as 0. Each character of a part
// adds its code minus '0', so non-digits are not rejected; parts too long for
// 64 bits saturate instead of overflowing.
int compareVersions(std::string a, std::string b);

// Reads the whole file into bytes; false when it cannot be opened, measured or read.
bool readWholeFile(const boost::filesystem::path& file, std::string& bytes);
