// Check mode: fetch the manifest, and when a newer package is announced,
// download and unpack it into the temp folder and keep there only the files
// that change the installation.
#pragma once

#include <boost/filesystem/path.hpp>
#include <optional>

#include "command_line.h"
#include "package_check.h"

// Runs the check for commandLine's URL and version; returns the exit code:
// 0 package prepared, 1 nothing to prepare, -1 any other failure. With a key,
// only a release whose update statement verifies with it is fetched and
// unpacked; without one, every check says that nothing is authenticated. A
// package prepared whole is sealed last.
int runCheckMode(const CommandLine& commandLine, const boost::filesystem::path& tempFolder,
                 const std::optional<PublicKey>& key);
