// Links (symbolic links, and on Windows junctions and other reparse points)
// are never followed by the updater: a link in place of the temp folder or of
// a prepared file would let whoever made it choose what is cleaned, compared
// or installed.
#pragma once

#include <boost/filesystem/path.hpp>

// Whether path itself is a link of any kind; false when it does not exist.
bool isLink(const boost::filesystem::path& path);
