// The temp folder where check mode downloads and unpacks the package.
#pragma once

#include <boost/filesystem/path.hpp>

#include "file_hashing.h"

// Makes sure tempFolder exists, is a real folder and is empty: deletes the
// seal of an earlier check first, then the rest; creates the folder (one
// level) when missing. A tempFolder that is a link (or junction) is never
// followed: the link itself goes, never what it points to, and a real folder
// takes its place; links inside it go the same way. Stops deleting after the
// first failure. False on any failure.
bool checkTempFolder(const boost::filesystem::path& tempFolder);

// Unpacks tempFolder\output.zip into tempFolder, by full paths (the current
// directory is never changed), and deletes the archive on every path. True
// when every entry was unpacked and the archive is gone. With digests, fills
// them in as well (each as far as it could be taken).
bool extractPackage(const boost::filesystem::path& tempFolder, PackageDigests* digests = nullptr);

// Empties tempFolder after a check that failed part way, so that update mode
// finds nothing of a half-prepared package to install. Writes an error record
// for each entry that cannot be removed; true when nothing is left.
bool discardTempFolder(const boost::filesystem::path& tempFolder);
