// Vetting the names of archive entries before anything is written under them.
#pragma once

#include <string>

// True when name, taken relative to the destination, names a file beneath it:
// not absolute, no drive letter or other ':' (drive or stream), no ".." element
// (nor one that Windows would read as "..", such as "... "), no device name
// (CON, NUL, COM1, LPT1, COM\u00b9... with or without an extension), no control
// character, and not one of the updater's own files at the top: the archive
// "output.zip" itself, which is still being read, and the seal.
bool isSafeEntryName(const std::string& name);

// True when name is that of a file directly in the destination, no folder
// part: the only entries that may replace an installed file.
bool isTopLevelFileName(const std::string& name);
