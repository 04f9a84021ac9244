#include "entry_name.h"

#include <algorithm>

#include "seal.h"
#include "system_text.h"

namespace {

std::string upperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Windows opens a device, not a file, for these names, whatever follows the
// first dot and however the name ends in blanks. The name is compared as
// Windows reads it, in the system code page, where COM and LPT followed by a
// superscript one, two or three name devices just as COM1 or LPT3 do.
bool isDeviceName(const std::string& element) {
    std::string base = upperAscii(systemTextToUtf8(element.substr(0, element.find('.'))));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (base == device) return true;
    }
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) return false;
    const std::string number = base.substr(std::min<size_t>(3, base.size()));
    static const char* const kSuperscripts[] = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    for (const char* superscript : kSuperscripts) {
        if (number == superscript) return true;
    }
    return number.size() == 1 && number[0] >= '1' && number[0] <= '9';
}

// The updater's own files at the top of the temp folder: "output.zip" is the
// archive being unpacked, the seal says what a check prepared.
bool isReservedName(const std::string& name) {
    std::string trimmed = name;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '.')) trimmed.pop_back();
    const std::string upper = upperAscii(trimmed);
    return upper == "OUTPUT.ZIP" || upper == upperAscii(kSealFileName) ||
           upper == upperAscii(std::string(kSealFileName) + ".new");
}

// Windows takes no control character in a file name, and a name with a line
// break would break the seal's lines.
bool hasControlCharacter(const std::string& name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

bool isDotsAndBlanks(const std::string& element) {
    size_t dots = 0;
    for (char c : element) {
        if (c == '.') {
            ++dots;
        } else if (c != ' ') {
            return false;
        }
    }
    return dots >= 2;
}

}  // namespace

bool isSafeEntryName(const std::string& name) {
    if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return false;
    if (name.find(':') != std::string::npos) return false;
    if (isReservedName(name) || hasControlCharacter(name)) return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of("/\\", start);
        const std::string element = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (isDotsAndBlanks(element) || isDeviceName(element)) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

bool isTopLevelFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}
