// SHA-512 digests of whole files, read in fixed chunks so that memory does not
// grow with the file.
#pragma once

#include <array>
#include <boost/filesystem/path.hpp>
#include <string>

using Sha512 = std::array<unsigned char, 64>;

// The digest of the file's content; false when the file cannot be read.
bool sha512Of(const boost::filesystem::path& file, Sha512& digest);

// The digest as 128 lower-case hex digits.
std::string hexText(const Sha512& digest);
