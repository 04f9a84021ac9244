// bioclient: a small console client of both bridge libraries, used by the demo.
//   bioclient info <library.dll>                   exports, version text, debug switch and the
//                                                  reader SDK it loaded (a simulated one said so)
//   bioclient codec                                a template packed into text and unpacked again
//   bioclient capture <library.dll> [pause]        FK_Capture; prints the template text
//   bioclient fdx <library.dll>                    the same with FDx templates (FK_SetAuthType(2))
//   bioclient live <library.dll> [pause]           FK_VerifyServer; prints the live template text
//   bioclient verify <library.dll> <file>          FK_Verify of a live finger against a saved text
//   bioclient match <library.dll> <file> <file>    FK_VerifyMatch of two saved texts; prints 1 or 0
//                                                  and the status
//   bioclient mcs <library.dll> <live> <stored>... FK_VerifyMcsDigital; prints the result and the answer
//   bioclient exec <library.dll> <word> [field...] ExecInClientDLL with the fields joined by 0x01;
//                                                  prints the result text, its length and the
//                                                  return value
// pause "N:MS" holds the capture window for MS milliseconds once it has handled
// the reader's N-th sample, so that the window can be photographed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bio_status.h"
#include "client_command.h"
#include "file_version.h"
#include "simulated_reader.h"
#include "template_codec.h"
#include "template_text.h"

namespace {

std::vector<std::string> ExportNames(HMODULE module) {
    auto* base = reinterpret_cast<const unsigned char*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (dir.Size == 0) return names;
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    return names;
}

std::string FileVersionText(const char* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    if (size == 0) return "(no version block)";
    std::vector<char> block(size);
    char* value = nullptr;
    UINT chars = 0;
    if (!GetFileVersionInfoA(file, 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\StringFileInfo\\041604B0\\FileVersion", reinterpret_cast<void**>(&value),
                        &chars)) {
        return "(no FileVersion)";
    }
    return value;
}

int Info(const char* library) {
    HMODULE module = LoadLibraryA(library);
    if (!module) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", library, GetLastError());
        return 1;
    }
    std::printf("%s\n  version text: BIO Version: %s\n  exports:\n", library, FileVersionText(library).c_str());
    for (const std::string& name : ExportNames(module)) std::printf("    %s\n", name.c_str());
    // The reader SDK the library imports, and whether it is one of our simulators.
    for (const char* sdk : {"NBioBSP.dll", "DPFPApi.dll"}) {
        if (!GetModuleHandleA(sdk)) continue;
        char description[256] = "(no description)";
        ReadLoadedVersionText(sdk, "FileDescription", description, sizeof description);
        std::printf("  reader SDK: %s (%s)\n", sdk, description);
        if (std::strstr(description, kSimulatedReaderMark)) {
            std::printf("  WARNING: %s is a simulated reader, for tests only: never on a production machine\n", sdk);
        }
    }
    using SetDebug = int(__cdecl*)(unsigned char);
    if (auto set = reinterpret_cast<SetDebug>(reinterpret_cast<void*>(GetProcAddress(module, "__SetKavroBioDebug")))) {
        std::printf("  __SetKavroBioDebug(0x101) = %d, (0) = %d\n", set(static_cast<unsigned char>(0x101)), set(0));
    }
    FreeLibrary(module);
    return 0;
}

int Codec() {
    if (!CodecAllocateBuffers()) return 1;
    std::vector<unsigned char> sample(400);
    for (size_t i = 0; i < sample.size(); ++i) sample[i] = static_cast<unsigned char>((i * 37) % 91 + (i % 9 == 0 ? i : 0));
    char* text = PackTemplateText(sample.data(), static_cast<int32_t>(sample.size()), kNbioEnvelope);
    if (!text) return 1;
    std::printf("template of %zu bytes as packed template text (%zu characters):\n%s\n", sample.size(),
                std::strlen(text), text);
    DecodedEnvelope envelope;
    DecodeEnvelope(text, static_cast<int32_t>(std::strlen(text)), kNbioEnvelope, &envelope);
    std::vector<unsigned char> back;
    const bool ok = UnpackEnvelope(envelope, &back) && back == sample;
    std::printf("header: packed size %d, unpacked size %d; unpacked again: %s\n", envelope.header.packedSize,
                envelope.header.unpackedSize, ok ? "identical" : "DIFFERENT");
    std::free(text);
    CodecReleaseBuffers();
    return ok ? 0 : 1;
}

// The library loaded for one command, released on every path.
class Library {
public:
    explicit Library(const char* name) : m_module(LoadLibraryA(name)) {
        if (!m_module) std::fprintf(stderr, "cannot load %s: error %lu\n", name, GetLastError());
    }
    ~Library() {
        if (m_module) FreeLibrary(m_module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    template <class Function>
    Function get(const char* name) const {
        auto function = m_module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)))
                                 : nullptr;
        if (m_module && !function) std::fprintf(stderr, "no export %s\n", name);
        return function;
    }

private:
    HMODULE m_module;
};

// Holds the thread for a while once the window procedure has handled the
// reader's N-th sample, at the next message it takes: the window then shows
// what that sample drew.
class SamplePause {
public:
    explicit SamplePause(const char* pause) {
        if (!pause || std::sscanf(pause, "%d:%lu", &s_sample, &s_milliseconds) != 2) return;
        m_hook = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
    }
    ~SamplePause() {
        if (m_hook) UnhookWindowsHookEx(m_hook);
    }
    SamplePause(const SamplePause&) = delete;
    SamplePause& operator=(const SamplePause&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (code >= 0 && wParam == PM_REMOVE) {
            // Reader events carry their operation's number; kind 0 is a sample.
            if ((message->message == 2024 || message->message == 2028) && message->wParam == 0) {
                ++s_seen;
            } else if (s_seen == s_sample && !s_paused) {
                s_paused = true;
                // A wait that takes no message, so that Wine puts what was drawn on the
                // screen meanwhile: a plain sleep would hold it back.
                MsgWaitForMultipleObjects(0, nullptr, FALSE, s_milliseconds, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int s_sample = 0, s_seen = 0;
    static inline bool s_paused = false;
    static inline unsigned long s_milliseconds = 0;
    HHOOK m_hook = nullptr;
};

int PrintText(char* text) {
    if (!text) {
        std::printf("(null)\n");
        return 1;
    }
    std::printf("%s\n", text);
    const bool failed = text[0] == '\0' || std::strncmp(text, "ERROR", 5) == 0;
    std::free(text);
    return failed ? 1 : 0;
}

int Capture(const char* library, const char* pause) {
    Library bridge(library);
    auto capture = bridge.get<char*(__cdecl*)(const char*, int32_t)>("FK_Capture");
    if (!capture) return 1;
    SamplePause paused(pause);
    return PrintText(capture(nullptr, 1));
}

int CaptureFdx(const char* library) {
    Library bridge(library);
    auto setAuthType = bridge.get<void(__cdecl*)(int32_t)>("FK_SetAuthType");
    auto capture = bridge.get<char*(__cdecl*)(const char*, int32_t)>("FK_Capture");
    if (!setAuthType || !capture) return 1;
    setAuthType(2);
    return PrintText(capture(nullptr, 1));
}

int Live(const char* library, const char* pause) {
    Library bridge(library);
    auto live = bridge.get<char*(__cdecl*)()>("FK_VerifyServer");
    if (!live) return 1;
    SamplePause paused(pause);
    return PrintText(live());
}

std::string ReadText(const char* path) {
    std::string text;
    if (std::FILE* file = std::fopen(path, "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
        std::fclose(file);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

int Match(const char* library, const char* storedPath, const char* verifyPath) {
    Library bridge(library);
    using VerifyMatch = int32_t(__cdecl*)(const char*, const char*, const char*, const char*, BioStatus*);
    auto verifyMatch = bridge.get<VerifyMatch>("FK_VerifyMatch");
    if (!verifyMatch) return 2;
    const std::string stored = ReadText(storedPath), verify = ReadText(verifyPath);
    auto freeText = bridge.get<void(__cdecl*)(char*)>("FK_FreeText");
    if (!freeText) return 2;
    BioStatus status{};
    const int32_t result = verifyMatch("Z", stored.c_str(), "Z", verify.c_str(), &status);
    char line[kBioMessageSize + 25];
    FormatBioStatus(line, &status);
    freeText(status.message);
    std::printf("%d  (status %s)\n", result, line);
    return 0;
}

int Verify(const char* library, const char* storedPath) {
    Library bridge(library);
    auto verify = bridge.get<int32_t(__cdecl*)(const char*, const char*)>("FK_Verify");
    if (!verify) return 2;
    const std::string stored = ReadText(storedPath);
    std::printf("%d\n", verify("Z", stored.c_str()));
    return 0;
}

int McsDigital(const char* library, int count, char** paths) {
    Library bridge(library);
    auto mcs = bridge.get<int32_t(__cdecl*)(char**, int32_t, char*, int32_t)>("FK_VerifyMcsDigital");
    if (!mcs) return 2;
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) texts.push_back(ReadText(paths[i]));
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    char answer[kBioMessageSize + 25] = {};
    const int32_t result = mcs(pointers.data(), count, answer, sizeof answer);
    std::printf("%d  (answer %s)\n", result, answer);
    return 0;
}

int Exec(const char* library, int fieldCount, char** fields) {
    Library bridge(library);
    auto exec = bridge.get<int32_t(__cdecl*)(int32_t, char*, int32_t, char*, int32_t*)>("ExecInClientDLL");
    if (!exec) return 2;
    std::string line = fields[0];
    for (int i = 1; i < fieldCount; ++i) line += std::string("\x01") + fields[i];
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    std::vector<char> result(kClientResultRoom);
    constexpr int32_t kUntouched = -1;
    int32_t length = kUntouched;
    const int32_t returned = exec(0, command.data(), 0, result.data(), &length);
    if (length == kUntouched) {
        std::printf("result: (none)\nlength: (not set)\n");
    } else {
        std::printf("result: %.*s\nlength: %d\n", static_cast<int>(length), result.data(), length);
    }
    std::printf("return: %d\n", returned);
    return returned == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "capture") == 0) return Capture(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "fdx") == 0) return CaptureFdx(argv[2]);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "live") == 0) return Live(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "verify") == 0) return Verify(argv[2], argv[3]);
    if (argc >= 5 && std::strcmp(argv[1], "mcs") == 0) return McsDigital(argv[2], argc - 3, argv + 3);
    if (argc == 5 && std::strcmp(argv[1], "match") == 0) return Match(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "codec") == 0) return Codec();
    if (argc >= 4 && std::strcmp(argv[1], "exec") == 0) return Exec(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr,
                 "usage: bioclient info <library.dll> | codec | capture <library.dll> [N:MS] | fdx <library.dll> | "
                 "live <library.dll> [N:MS] | verify <library.dll> <stored-file> | "
                 "match <library.dll> <stored-file> <verify-file> | mcs <library.dll> <live-file> <stored-file>... | "
                 "exec <library.dll> <word> [field...]\n");
    return 2;
}
