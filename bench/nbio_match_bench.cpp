// FK_VerifyMatch of two packed template texts through fpbridge_nbio.dll over the
// simulated reader, beside what it cannot avoid: the two decodes and inflates,
// and the SDK's own work (start, comparison, end). Prints figures; judges nothing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "NBioSim.h"
#include "fpbridge_nbio.h"
#include "template_codec.h"
#include "bench_timing.h"
#include "template_text.h"

namespace {

std::string Capture(const char* script) {
    NBioSim_Configure(script);
    char* text = FK_Capture(nullptr, 1);
    std::string s = text ? text : "";
    std::free(text);
    return s;
}

}  // namespace

int main() {
    constexpr int kCalls = 1000;
    if (!CodecAllocateBuffers()) return 1;
    FK_SetAuthType(1);
    const std::string stored = Capture("finger=2"), verify = Capture("finger=2");
    if (stored.rfind("ERROR", 0) == 0 || verify.rfind("ERROR", 0) == 0) return 1;

    const double match = MicrosecondsPerCall(kCalls, [&] {
        if (FK_VerifyMatch("Z", stored.c_str(), "Z", verify.c_str(), nullptr) != 1) std::abort();
    });

    std::vector<unsigned char> storedFir, verifyFir;
    const double codec = MicrosecondsPerCall(kCalls, [&] {
        for (const std::string* text : {&stored, &verify}) {
            DecodedEnvelope envelope;
            DecodeEnvelope(text->c_str(), static_cast<int32_t>(text->size()), kNbioEnvelope, &envelope);
            if (!UnpackEnvelope(envelope, text == &stored ? &storedFir : &verifyFir)) std::abort();
        }
    });
    storedFir.push_back(0);
    verifyFir.push_back(0);

    const double sdk = MicrosecondsPerCall(kCalls, [&] {
        NBioAPI_HANDLE handle = 0;
        NBioAPI_Init(&handle);
        NBioAPI_FIR_TEXTENCODE first{0, reinterpret_cast<char*>(storedFir.data())};
        NBioAPI_FIR_TEXTENCODE second{0, reinterpret_cast<char*>(verifyFir.data())};
        NBioAPI_INPUT_FIR a{}, b{};
        a.Form = b.Form = NBioAPI_FIR_FORM_TEXTENCODE;
        a.InputFIR.TextFIR = &first;
        b.InputFIR.TextFIR = &second;
        NBioAPI_BOOL result = 0;
        NBioAPI_FIR_PAYLOAD payload{};
        NBioAPI_VerifyMatch(handle, &a, &b, &result, &payload);
        NBioAPI_CloseDevice(handle, NBioAPI_DEVICE_ID_AUTO);
        NBioAPI_Terminate(handle);
        if (result != 1) std::abort();
    });

    std::printf("template texts: %zu and %zu characters (text-encoded FIR)\n", stored.size(), verify.size());
    std::printf("FK_VerifyMatch:                 %8.1f us/match  (%.0f matches/s)\n", match, 1e6 / match);
    std::printf("two decodes + inflates alone:   %8.1f us\n", codec);
    std::printf("SDK start + comparison + end:   %8.1f us\n", sdk);
    std::printf("added by the bridge:            %8.1f us/match\n", match - codec - sdk);
    PrintFigure("nbio_verify_match_added_us", match - codec - sdk);
    CodecReleaseBuffers();
    return 0;
}
