#include "entry_name.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// A name as an archive entry would carry it to reach the file system as
// text: in the system code page.
std::string systemText(const std::wstring& text) {
#ifdef _WIN32
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
#else
    std::string utf8;
    for (wchar_t c : text) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
#endif
}

// Windows reads COM and LPT with a superscript 1, 2 or 3 as device names too.
TEST(EntryName, RefusesDeviceNamesWithSuperscriptDigits) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"COM\u00b9", false}, {L"com\u00b2.txt", false}, {L"LPT\u00b3", false}, {L"sub/lpt\u00b9 .log", false},
        {L"COM\u00b9x", true}, {L"COM\u00bd", true},      {L"\u00b9COM", true},  {L"caf\u00e9.txt", true},
    };
    for (const auto& [name, safe] : cases) {
        EXPECT_EQ(isSafeEntryName(systemText(name)), safe) << systemText(name);
    }
}

TEST(EntryName, RefusesNamesThatLeaveTheDestination) {
    const std::pair<const char*, bool> cases[] = {
        {"a.dll", true},
        {"sub/b.txt", true},
        {"sub\\b.txt", true},
        {"sub/", true},
        {"a..b/c..", true},
        {".hidden", true},
        {"./a.txt", true},
        {"../evil.txt", false},
        {"..\\evil.txt", false},
        {"sub/../../evil.txt", false},
        {"sub/..", false},
        {"..", false},
        {"sub/.../x", false},
        {"sub/.. /x", false},
        {"/etc/evil", false},
        {"\\Windows\\evil.dll", false},
        {"\\\\server\\share\\evil", false},
        {"C:/evil.txt", false},
        {"c:evil.txt", false},
        {"a.txt:stream", false},
        {"CON", false},
        {"sub/nul.txt", false},
        {"com1", false},
        {"LPT9.log", false},
        {"aux .dll", false},
        {"CONOUT$", false},
        {"com10", true},
        {"console.txt", true},
        {"lpt.txt", true},
        {"output.zip", false},
        {"OUTPUT.ZIP.", false},
        {"sub/output.zip", true},
        {"prepared.seal", false},
        {"Prepared.Seal ", false},
        {"prepared.seal.new", false},
        {"sub/prepared.seal", true},
        {"line\nbreak.dll", false},
        {"tab\there.dll", false},
        {"sub\x7F/x", false},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(isSafeEntryName(name), safe) << name;
}

}  // namespace
