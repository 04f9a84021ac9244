// The seal of a prepared package. Check mode writes it into the temp folder
// last, once the package is prepared: it lists each prepared file with its
// size and SHA-512, and the version they belong to. Update mode installs
// nothing unless the seal is there and every file it lists is there
// unchanged, and never a file it does not list. So a check killed at any
// moment, or a file changed in the temp folder after the check, installs
// nothing. Its text, each line ending in one line feed:
//
//   KAVRO Quorvelant prepared package 1
//   version=<the version the files belong to>
//   file=<size in decimal> <SHA-512, 128 lower-case hex digits> <file name>
//   ...
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file_digest.h"

// The seal's file in the temp folder; an archive entry may not take its name.
constexpr char kSealFileName[] = "prepared.seal";

struct SealedFile {
    std::string name;  // the file's name in the temp folder
    uint64_t size = 0;
    std::string sha512;  // 128 lower-case hex digits
};

struct Seal {
    std::string version;
    std::vector<SealedFile> files;
};

// Seals the files prepared in tempFolder (its regular files but the archive)
// as belonging to version. The seal is written under another name first and
// takes its own name last, so that no seal exists until it is whole. Writes
// an error record and returns false when it cannot be made. Digests already
// taken of the prepared files, by file name, spare reading them again.
bool writeSeal(const boost::filesystem::path& tempFolder, const std::string& version,
               const FileDigests* prepared = nullptr);

// Deletes the seal; true when there is none afterwards.
bool removeSeal(const boost::filesystem::path& tempFolder);

// The seal's text as a seal; nothing when it is not one.
std::optional<Seal> parseSeal(const std::string& text);

// Reads the seal of tempFolder and checks every file it lists: there, a
// regular file rather than a link, of its size and SHA-512. Writes an error
// record for what is missing or differs; nothing when anything does.
std::optional<Seal> readVerifiedSeal(const boost::filesystem::path& tempFolder);

// Whether one prepared file is still as its seal says.
bool matchesSeal(const boost::filesystem::path& file, const SealedFile& sealed);
