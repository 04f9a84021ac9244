#include "mapped_file.h"
#include "unique_handle_win32.h"

MappedFile::MappedFile(const boost::filesystem::path& file) {
    // Others may read the file meanwhile, not change it.
    const UniqueHandle in(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!in || !GetFileSizeEx(in.get(), &size) || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        return;
    }
    m_size = static_cast<size_t>(size.QuadPart);
    if (m_size == 0) {
        m_ok = true;  // an empty file cannot be mapped, and needs not be
        return;
    }
    // The view keeps the mapping, and the mapping the file, once both
    // handles are closed.
    const UniqueHandle mapping(CreateFileMappingW(in.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return;
    m_data = static_cast<const unsigned char*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    m_ok = m_data != nullptr;
}

MappedFile::~MappedFile() {
    if (m_data) UnmapViewOfFile(m_data);
}
