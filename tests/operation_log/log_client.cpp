// A client process of one bridge library for the operation log tests. It loads
// the library named on its command line and, for each line "run" on its
// standard input, captures two templates (FK_Capture, then FK_VerifyServer)
// and matches them (FK_VerifyMatch), answering with one line:
//   captured <1|0> <1|0> matched <result> success <1|0>
// It ends at the end of its input. A library opens its log at its first record
// and keeps it, so the tests keep one client running while they change what
// stands in the log's way.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bio_status.h"

namespace {

using Capture = char* (*)(const char*, int32_t);
using VerifyServer = char* (*)();
using VerifyMatch = int32_t (*)(const char*, const char*, const char*, const char*, BioStatus*);

template <class Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Takes a text a library returned: empty when there was none.
std::string Take(char* text) {
    std::string taken = text ? text : "";
    std::free(text);
    return taken;
}

bool IsTemplate(const std::string& text) {
    return !text.empty() && text.rfind("ERROR", 0) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: operation_log_client <library.dll>\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    auto capture = Export<Capture>(library, "FK_Capture");
    auto verifyServer = Export<VerifyServer>(library, "FK_VerifyServer");
    auto verifyMatch = Export<VerifyMatch>(library, "FK_VerifyMatch");
    auto freeText = Export<void (*)(char*)>(library, "FK_FreeText");
    if (!capture || !verifyServer || !verifyMatch || !freeText) {
        std::fprintf(stderr, "cannot use %s: error %lu\n", argv[1], GetLastError());
        return 2;
    }
    char line[64];
    while (std::fgets(line, sizeof line, stdin) && std::strncmp(line, "run", 3) == 0) {
        const std::string stored = Take(capture(nullptr, 1));
        const std::string live = Take(verifyServer());
        BioStatus status{};
        const int32_t matched = verifyMatch("Z", stored.c_str(), "Z", live.c_str(), &status);
        freeText(status.message);
        std::printf("captured %d %d matched %d success %d\n", IsTemplate(stored), IsTemplate(live), matched,
                    status.success ? 1 : 0);
        std::fflush(stdout);
    }
    FreeLibrary(library);
    return 0;
}
