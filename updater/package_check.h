// Checking a downloaded package, before anything of it is unpacked, against
// what its manifest says of it.
#pragma once

#include <array>
#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <optional>
#include <string>

// What a manifest may say of its package and its release, each as the
// manifest gives it.
struct PackageClaims {
    std::optional<std::string> sha512;     // "sha512": the SHA-512 of the package, 128 hex digits
    std::optional<uint64_t> size;          // "size": the package's size in bytes
    std::optional<std::string> signature;  // "signature": Base64 of the Ed25519 signature of the update statement
    std::optional<std::string> expires;    // "expires": when the statement ends, "2027-01-31T00:00:00Z" (UTC)
};

// An Ed25519 public key, as its 32 raw bytes.
using PublicKey = std::array<unsigned char, 32>;

// Checks package against the claims that are present: size first, then the
// SHA-512. Each failure writes an error record that says what did not match.
// True when every check passed.
bool checkPackage(const boost::filesystem::path& package, const PackageClaims& claims);
