// FK_VerifyMatch of two packed template texts through fpbridge_dpfp.dll over the
// simulated modules, beside what it cannot avoid: the two decodes and inflates,
// and the modules' own work (start, contexts, comparison, end); and
// FK_VerifyMcsDigital against a thousand stored templates. Prints figures;
// judges nothing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DPFPApi.h"
#include "DPFPSim.h"
#include "dpHFtrEx.h"
#include "dpHMatch.h"
#include "fpbridge_dpfp.h"
#include "template_codec.h"
#include "bench_timing.h"
#include "template_text.h"

namespace {

std::vector<uint8_t> Features(int finger, bool registration) {
    std::vector<uint8_t> bytes(static_cast<size_t>(DPFPSim_MakeFeatures(finger, registration, nullptr, 0)));
    DPFPSim_MakeFeatures(finger, registration, bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

std::string Packed(const std::vector<uint8_t>& bytes) {
    char* text = PackTemplateText(bytes.data(), static_cast<int32_t>(bytes.size()), kDpfpEnvelope);
    std::string s = text ? text : "";
    std::free(text);
    return s;
}

}  // namespace

int main() {
    constexpr int kCalls = 1000;
    constexpr int kStored = 1000;
    if (!CodecAllocateBuffers()) return 1;
    const std::string stored = Packed(Features(2, true)), live = Packed(Features(2, false));

    const double match = MicrosecondsPerCall(kCalls, [&] {
        if (FK_VerifyMatch("Z", stored.c_str(), "Z", live.c_str(), nullptr) != 1) std::abort();
    });

    std::vector<unsigned char> storedBytes, liveBytes;
    const double codec = MicrosecondsPerCall(kCalls, [&] {
        for (const std::string* text : {&stored, &live}) {
            DecodedEnvelope envelope;
            DecodeEnvelope(text->c_str(), static_cast<int32_t>(text->size()), kDpfpEnvelope, &envelope);
            if (!UnpackEnvelope(envelope, text == &stored ? &storedBytes : &liveBytes)) std::abort();
        }
    });

    const double modules = MicrosecondsPerCall(kCalls, [&] {
        DPFPInit();
        FX_init();
        MC_init();
        FX_CONTEXT extraction = 0;
        MC_CONTEXT comparison = 0;
        FX_createContext(&extraction);
        MC_createContext(&comparison);
        int32_t length = 0, options = 0, level = 4, decision = 0;
        double score = 0.0;
        FX_getFeaturesLen(DP_PURPOSE_VERIFICATION, &length, nullptr);
        MC_verifyFeaturesEx(comparison, static_cast<int32_t>(storedBytes.size()), storedBytes.data(), length,
                            liveBytes.data(), 0, &options, nullptr, &level, &score, &decision);
        FX_closeContext(extraction);
        MC_closeContext(comparison);
        FX_terminate();
        MC_terminate();
        DPFPTerm();
        if (decision == 0) std::abort();
    });

    // A thousand stored templates of another finger, the live one's last.
    std::vector<std::string> texts{live};
    const std::string other = Packed(Features(7, true));
    for (int i = 0; i < kStored - 1; ++i) texts.push_back(other);
    texts.push_back(stored);
    std::vector<char*> list;
    for (std::string& text : texts) list.push_back(text.data());
    char answer[1100];
    const auto start = BenchClock::now();
    const int32_t found = FK_VerifyMcsDigital(list.data(), static_cast<int32_t>(list.size()), answer, sizeof answer);
    const double mcs = std::chrono::duration<double, std::micro>(BenchClock::now() - start).count() / kStored;
    if (found != 1) std::abort();

    std::printf("template texts: %zu (registration template) and %zu (verification set) characters\n",
                stored.size(), live.size());
    std::printf("FK_VerifyMatch:                       %8.1f us/match  (%.0f matches/s)\n", match, 1e6 / match);
    std::printf("two decodes + inflates alone:         %8.1f us\n", codec);
    std::printf("modules: start, contexts, compare, end: %6.1f us\n", modules);
    std::printf("added by the bridge:                  %8.1f us/match\n", match - codec - modules);
    std::printf("FK_VerifyMcsDigital, %d stored:     %8.1f us/comparison  (%.0f comparisons/s)\n", kStored, mcs,
                1e6 / mcs);
    std::printf("  against one match's decodes and modules: %.2f times\n", mcs / (codec + modules));
    PrintFigure("dpfp_verify_match_added_us", match - codec - modules);
    PrintFigure("dpfp_mcs_per_template_vs_match_parts", mcs / (codec + modules));
    CodecReleaseBuffers();
    return 0;
}
