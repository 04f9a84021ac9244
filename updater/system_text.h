// Texts that come from the system in its code page (the command line, error
// messages of the file-system library) become UTF-8 before they are logged.
#pragma once

#include <string>

std::string systemTextToUtf8(const std::string& text);
