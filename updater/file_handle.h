// C stdio files owned by one object, opened by wide name on Windows so that
// paths outside the system code page still work.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens path with an fopen mode ("rb", "wb"); empty on failure.
UniqueFile openFile(const boost::filesystem::path& path, const char* mode);

// Closes the file and reports whether every buffered byte reached it.
bool closeFile(UniqueFile& file);
