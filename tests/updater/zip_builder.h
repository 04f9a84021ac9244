// Writes zip archives for the tests: stored or deflated entries with any
// name, and a CRC that can be made wrong on purpose.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name;  // stored as given: hostile names are the point
    std::string data;
    bool deflate = true;
    bool wrongCrc = false;
    // When set, the size that the headers announce instead of data's (sizes
    // past 32 bits in a zip64 extra field), as a zip bomb would.
    uint64_t announcedSize = 0;
};

void writeZip(const boost::filesystem::path& file, const std::vector<ZipEntry>& entries);
