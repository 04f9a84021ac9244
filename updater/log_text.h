// Paths as they appear in the log: UTF-8 whatever the system code page.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>

// The path as it is.
std::string logText(const boost::filesystem::path& path);

// The path between double quotes, with '"' and '&' each preceded by '&'.
std::string quotedLogText(const boost::filesystem::path& path);
