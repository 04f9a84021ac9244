#include "file_handle.h"

#include <string>

UniqueFile openFile(const boost::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return UniqueFile(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return UniqueFile(std::fopen(path.c_str(), mode));
#endif
}

bool closeFile(UniqueFile& file) {
    return file && std::fclose(file.release()) == 0;
}
