#pragma once

// Fills `version` with the FileVersion text of `fileName`'s version resource
// (first translation) and `language` with that translation's language name.
// Outputs whose value cannot be found keep their contents.
void ReadFileVersion(const char* fileName, char* version, int versionSize, char* language, int languageSize);

// The text `name` ("FileDescription", ...) of `fileName`'s version resource
// (first translation) into `out`, cut to `size` bytes; false, `out` untouched,
// when there is none.
bool ReadVersionText(const char* fileName, const char* name, char* out, int size);
