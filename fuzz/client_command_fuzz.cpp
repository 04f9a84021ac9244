// Fuzz target: the command line of ExecInClientDLL, split and dispatched over
// stand-in operations that check what they are handed. The input is the
// command line without its NUL, in a buffer of exactly its size (the NUL
// included), so that any read or write past it is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "client_command.h"
#include "client_faces.h"
#include "fuzz_support.h"

namespace {

// The client's line as given to ExecInClientDLL, while it runs.
const char* g_lineStart = nullptr;
const char* g_lineEnd = nullptr;  // its NUL
int g_matchCalls = 0;

// A field handed to an operation is absent or a text inside the line.
void RequireField(const char* field) {
    Require(!field || (field >= g_lineStart && field + std::strlen(field) <= g_lineEnd),
            "a field is a text inside the client's line");
}

char* Copy(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// A capture for enrollment returns a short text, a plain capture one longer
// than the room the client provides.
char* Capture(const char* input, int32_t mode) {
    Require(input == nullptr, "a capture is asked for without input");
    return Copy(mode == 1 ? std::string("ENROLLED") : std::string(kClientResultRoom + 100, 'A'));
}

int32_t Verify(const char* kind, const char* stored) {
    RequireField(kind);
    RequireField(stored);
    return stored ? static_cast<int32_t>(std::strlen(stored)) : -1;
}

// Two texts match when they are equal; the status says which were compared.
int32_t VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                    BioStatus* status) {
    for (const char* field : {tpStored, FkStored, tpVerify, ToVerify}) RequireField(field);
    Require(status && status->message, "a comparison reports into a status");
    ++g_matchCalls;
    std::strncpy(status->message, ToVerify ? ToVerify : "(none)", kBioMessageSize - 1);
    return FkStored && ToVerify && std::strcmp(FkStored, ToVerify) == 0 ? 1 : 0;
}

int32_t Unused(uint8_t, BioStatus*) {
    return 0;
}

const ClientFaceTraits kFaces = {
    {Unused, [](int32_t) { return 0; }, [](int32_t) {}, Capture, [] { return Capture(nullptr, 0); }, Verify,
     VerifyMatch},
    false,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool installed = (InstallClientFaces(&kFaces), true);
    (void)installed;
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const size_t length = std::strlen(line.data());
    g_lineStart = line.data();
    g_lineEnd = line.data() + length;
    g_matchCalls = 0;
    std::vector<char> result(static_cast<size_t>(kClientResultRoom));
    int32_t resultLength = -7;

    const int32_t returned = ExecInClientDLL(3, line.data(), 4, result.data(), &resultLength);

    Require(returned == 1 || returned == -1, "ExecInClientDLL returns 1 or -1");
    Require(resultLength == -7 || (resultLength >= 0 && resultLength <= kClientResultRoom),
            "a result fits the room the client provides");
    Require(std::memchr(line.data(), '\x01', length) == nullptr, "every separator of the line is ended");
    Require(g_matchCalls < kCommandPairs, "a MATCH compares pair 0 with at most nine candidates");
    for (size_t i = 0; i < length && line[i] != '\0'; ++i) {
        Require(line[i] < 'a' || line[i] > 'z', "the command word is upper-cased");
    }
    return 0;
}
