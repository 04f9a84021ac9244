// Writes zip archives for the tests: stored or deflated entries with any
// name, and a CRC that can be made wrong on purpose.
#pragma once

#include <boost/filesystem/path.hpp>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name;  // stored as given: hostile names are the point
    std::string data;
    bool deflate = true;
    bool wrongCrc = false;
};

void writeZip(const boost::filesystem::path& file, const std::vector<ZipEntry>& entries);
