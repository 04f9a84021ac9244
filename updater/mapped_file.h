// A file's whole content mapped into memory for reading: the pages come from
// the file as they are read and are not counted against the process's own
// memory, however large the file.
#pragma once

#include <boost/filesystem/path.hpp>
#include <cstddef>

class MappedFile {
public:
    // Maps file; check ok(). An empty file maps to size() 0.
    explicit MappedFile(const boost::filesystem::path& file);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return m_ok; }
    // The content; valid while this object lives, never null.
    const unsigned char* data() const { return m_data ? m_data : &m_none; }
    size_t size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
    bool m_ok = false;
    unsigned char m_none = 0;
};
