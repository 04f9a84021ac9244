// The update statement: what the publisher signs for one release, so that an
// updater with the publisher's key installs only what was meant for it. It
// covers the version and whether it is forced (so a downgrade is the
// publisher's decision, never the network's), the package's SHA-512 and size
// (so the package is bound to that version), and optionally when it expires.
// Its exact bytes, each line ending in one line feed:
//
//   KAVRO Quorvelant update statement 1
//   latest-version=<"latest-version", as the manifest gives it>
//   force-update=<true or false>
//   sha512=<"sha512" in lower case>
//   size=<"size" in decimal>
//   expires=<"expires" as the manifest gives it, or nothing>
//
// "signature" is the Base64 text of the Ed25519 signature of those bytes.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "manifest.h"

// The statement the manifest's members make, or nothing when a member it
// needs is missing or cannot be stated without ambiguity (a control character
// in the version, a "sha512" that is not 128 hex digits, an "expires" that is
// not a UTC time as "2027-01-31T00:00:00Z"); `why` then says which.
std::optional<std::string> updateStatement(const Manifest& manifest, std::string* why);

// "2027-01-31T00:00:00Z" as seconds since 1970 (UTC); nothing for any other form.
std::optional<std::time_t> parseUtcTime(const std::string& text);

// Whether the manifest carries a statement signed with key that has not
// expired at `now`. Each refusal writes an error record that says why.
bool checkStatement(const Manifest& manifest, const PublicKey& key, std::time_t now);
