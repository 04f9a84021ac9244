// Paths and outside texts as they appear in the log: UTF-8 whatever the system
// code page, and never a line break or other control character that could
// start a record of its own.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>
#include <string_view>

// The path as it is.
std::string logText(const boost::filesystem::path& path);

// The path between double quotes, with '"' and '&' each preceded by '&'.
std::string quotedLogText(const boost::filesystem::path& path);

// A text that comes from outside (the manifest, a URL, an archive's entry
// name): each control character (below 0x20, and 0x7F) written as "\xHH".
std::string escapedLogText(std::string_view text);
