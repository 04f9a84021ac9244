#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "file_version.h"

void ReadFileVersion(const char* fileName, char* version, int versionSize, char* language, int languageSize) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) return;
    std::unique_ptr<char[]> block(new (std::nothrow) char[size]());
    if (!block || !GetFileVersionInfoA(fileName, 0, size, block.get())) return;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translation = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationBytes) ||
        translationBytes < sizeof(Translation)) {
        return;
    }

    char languageName[80] = {};
    if (language && languageSize > 0 &&
        VerLanguageNameA(translation->language, languageName, sizeof languageName) != 0) {
        std::strncpy(language, languageName, static_cast<size_t>(languageSize - 1));
    }

    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\FileVersion", translation->language,
                  translation->codePage);
    char* value = nullptr;
    UINT valueChars = 0;
    if (version && versionSize > 0 &&
        VerQueryValueA(block.get(), query, reinterpret_cast<void**>(&value), &valueChars) && value) {
        std::strncpy(version, value, static_cast<size_t>(versionSize - 1));
    }
}
