#pragma once

// Fills `version` with the FileVersion text of `fileName`'s version resource
// (first translation) and `language` with that translation's language name.
// Outputs whose value cannot be found keep their contents.
void ReadFileVersion(const char* fileName, char* version, int versionSize, char* language, int languageSize);

// The text `name` ("FileDescription", ...) of `fileName`'s version resource
// (first translation) into `out`, cut to `size` bytes; false, `out` untouched,
// when there is none.
bool ReadVersionText(const char* fileName, const char* name, char* out, int size);

// The same, of a library loaded in this process, found by its module name
// ("NBioBSP.dll"); false, `out` untouched, when it is not loaded or has none.
bool ReadLoadedVersionText(const char* moduleName, const char* name, char* out, int size);
