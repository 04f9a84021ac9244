#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "file_version.h"

namespace {

struct Translation {
    WORD language;
    WORD codePage;
};

// A file's version resource and its first translation.
class VersionBlock {
public:
    explicit VersionBlock(const char* fileName) {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
        if (size == 0) return;
        m_block.reset(new (std::nothrow) char[size]());
        if (!m_block || !GetFileVersionInfoA(fileName, 0, size, m_block.get())) {
            m_block.reset();
            return;
        }
        UINT bytes = 0;
        if (!VerQueryValueA(m_block.get(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&m_translation),
                            &bytes) ||
            bytes < sizeof(Translation)) {
            m_translation = nullptr;
        }
    }

    const Translation* translation() const { return m_translation; }

    // The text `name` of the first translation, or null.
    const char* text(const char* name) const {
        if (!m_translation) return nullptr;
        char query[96];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\%s", m_translation->language,
                      m_translation->codePage, name);
        char* value = nullptr;
        UINT chars = 0;
        return VerQueryValueA(m_block.get(), query, reinterpret_cast<void**>(&value), &chars) ? value : nullptr;
    }

private:
    std::unique_ptr<char[]> m_block;
    Translation* m_translation = nullptr;
};

}  // namespace

void ReadFileVersion(const char* fileName, char* version, int versionSize, char* language, int languageSize) {
    const VersionBlock block(fileName);
    if (!block.translation()) return;
    char languageName[80] = {};
    if (language && languageSize > 0 &&
        VerLanguageNameA(block.translation()->language, languageName, sizeof languageName) != 0) {
        std::strncpy(language, languageName, static_cast<size_t>(languageSize - 1));
    }
    const char* value = block.text("FileVersion");
    if (value && version && versionSize > 0) std::strncpy(version, value, static_cast<size_t>(versionSize - 1));
}

bool ReadVersionText(const char* fileName, const char* name, char* out, int size) {
    const VersionBlock block(fileName);
    const char* value = block.text(name);
    if (!value || !out || size <= 0) return false;
    std::snprintf(out, static_cast<size_t>(size), "%s", value);
    return true;
}

bool ReadLoadedVersionText(const char* moduleName, const char* name, char* out, int size) {
    const HMODULE module = GetModuleHandleA(moduleName);
    char path[MAX_PATH];
    return module && GetModuleFileNameA(module, path, sizeof path) != 0 && ReadVersionText(path, name, out, size);
}
