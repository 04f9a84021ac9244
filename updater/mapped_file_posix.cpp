#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mapped_file.h"

MappedFile::MappedFile(const boost::filesystem::path& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        m_size = static_cast<size_t>(info.st_size);
        if (m_size == 0) {
            m_ok = true;
        } else {
            void* data = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
            m_ok = data != MAP_FAILED;
            if (m_ok) m_data = static_cast<const unsigned char*>(data);
        }
    }
    // The mapping keeps the file's pages; the descriptor is not needed.
    close(fd);
}

MappedFile::~MappedFile() {
    if (m_data) munmap(const_cast<unsigned char*>(m_data), m_size);
}
