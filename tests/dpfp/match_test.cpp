// FK_VerifyMatch and FK_VerifyMcsDigital: template texts compared without the
// reader.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dpfp_fixture.h"
#include "sha256.h"

namespace {

using DpfpMatch = DpfpBridge;

struct Outcome {
    int32_t result;
    bool success, matched;
    int32_t error;
    std::string message;
};

Outcome VerifyMatch(const char* tpStored, const char* stored, const char* tpVerify, const char* live) {
    char message[kBioMessageSize];
    std::memset(message, 'x', sizeof message);
    BioStatus status{};
    status.message = message;
    const int32_t result = FK_VerifyMatch(tpStored, stored, tpVerify, live, &status);
    // The record now holds the library's buffer; the caller's own is left as it was.
    EXPECT_NE(status.message, message);
    EXPECT_EQ(std::string(message, sizeof message), std::string(sizeof message, 'x'));
    const std::string text = status.message ? status.message : "<no buffer>";
    FK_FreeText(status.message);
    return {result, status.success, status.matched, status.error, text};
}

// A packed template text whose header announces one byte more than its
// stream inflates to.
std::string WithLongerHeader(const std::string& text) {
    const DecodedEnvelope envelope = Envelope(text);
    EnvelopeHeader header = envelope.header;
    ++header.unpackedSize;
    return EnvelopeText(kDpfpEnvelope, header, envelope.streamBytes());
}

TEST_F(DpfpMatch, MatchesTemplatesOfOneFingerInEveryForm) {
    const std::string packedStored = PackedFeatures(3, true), nativeStored = NativeFeatures(3, true);
    const std::string packedLive = PackedFeatures(3, false, 320, 480), nativeLive = NativeFeatures(3, false);
    for (const char* packedKind : {"Z", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(FK_VerifyMatch(packedKind, packedStored.c_str(), packedKind, packedLive.c_str(), nullptr), 1);
    }
    EXPECT_EQ(FK_VerifyMatch("N", nativeStored.c_str(), "Z", packedLive.c_str(), nullptr), 1);
    EXPECT_EQ(FK_VerifyMatch("Z", packedStored.c_str(), "N", nativeLive.c_str(), nullptr), 1);
    EXPECT_EQ(FK_VerifyMatch("Native", nativeStored.c_str(), "N", nativeLive.c_str(), nullptr), 1);

    const Outcome other = VerifyMatch("Z", packedStored.c_str(), "Z", PackedFeatures(4, false).c_str());
    EXPECT_EQ(other.result, 0);
    EXPECT_TRUE(other.success);
    EXPECT_FALSE(other.matched);
    EXPECT_EQ(other.error, 0);
    EXPECT_EQ(other.message, "");

    DPFPSimLastCall call{};
    DPFPSim_GetLastCall(&call);
    EXPECT_EQ(call.verifyTemplateSize, TemplateSize());
    EXPECT_EQ(call.verifyFeatureSetSize, VerifySetSize());
    EXPECT_EQ(call.verifyReserved, 0);
    EXPECT_EQ(call.verifyOptions, 0);
    EXPECT_EQ(call.verifySecurityLevel, 4);
    EXPECT_EQ(call.verifyScore, 0.0);
}

TEST_F(DpfpMatch, EachFailureHasItsErrorAndText) {
    const std::string stored = PackedFeatures(2, true), live = PackedFeatures(2, false);
    const std::string shortLive = NativeFeatures(2, false).substr(0, static_cast<size_t>(VerifySetSize() - 1));
    const std::string longStored = WithLongerHeader(stored), longLive = WithLongerHeader(live);
    const std::string shortPacked = TakeText(PackTemplateText(reinterpret_cast<const unsigned char*>(shortLive.data()),
                                                              static_cast<int32_t>(shortLive.size()),
                                                              kDpfpEnvelope));
    struct Case {
        const char* name;
        const char* script;
        const char *tpVerify, *stored, *live;
        int32_t error;
        const char* message;
        int32_t sessions;  // FX_init calls
    };
    const std::string invalid = "ERROR - FK_VerifyMatch - Invalid Parameter - 7";
    const Case cases[] = {
        {"no stored template", "", "Z", nullptr, live.c_str(), 7, invalid.c_str(), 0},
        {"no live template", "", "Z", stored.c_str(), nullptr, 7, invalid.c_str(), 0},
        {"a cancelled capture", "", "Z", stored.c_str(), "ERROR - 999", 7, invalid.c_str(), 0},
        {"text that only starts like a cancel", "", "Z", stored.c_str(), "ERROR - 9990", 8,
         "ERROR (8) - FK_VerifyMatch - ToTemplateVerify.", 1},
        {"stored header one byte long", "", "Z", longStored.c_str(), live.c_str(), 8,
         "ERROR (8) - FK_VerifyMatch - ToTemplateStored.", 1},
        {"live header one byte long", "", "Z", stored.c_str(), longLive.c_str(), 8,
         "ERROR (8) - FK_VerifyMatch - ToTemplateVerify.", 1},
        {"empty native live text", "", "N", stored.c_str(), "", 8, "ERROR (8) - FK_VerifyMatch - ToTemplateVerify.", 1},
        {"native live text shorter than a set", "", "N", stored.c_str(), shortLive.c_str(), 8,
         "ERROR (8) - FK_VerifyMatch - ToTemplateVerify.", 1},
        {"packed live template shorter than a set", "", "Z", stored.c_str(), shortPacked.c_str(), 8,
         "ERROR (8) - FK_VerifyMatch - ToTemplateVerify.", 1},
        {"extraction module fails", "fxinit=-7", "Z", stored.c_str(), live.c_str(), 0,
         "ERROR (-7) - OPERATION (2030). Error on FX_init.", 1},
        {"comparison fails", "verify=-8", "Z", stored.c_str(), live.c_str(), -8,
         "ERROR (-8) - Verify - An internal error occurred.", 1},
    };
    for (const Case& c : cases) {
        DPFPSim_Reset();
        Script(c.script);
        const Outcome outcome = VerifyMatch("Z", c.stored, c.tpVerify, c.live);
        EXPECT_EQ(outcome.result, 0) << c.name;
        EXPECT_FALSE(outcome.success) << c.name;
        EXPECT_FALSE(outcome.matched) << c.name;
        EXPECT_EQ(outcome.error, c.error) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(DPFPSim_CallCount("FX_init"), c.sessions) << c.name;
        EXPECT_EQ(DPFPSim_CallCount("DPFPTerm"), 1) << c.name << ": the session is ended in every case";
        ExpectNothingLive();
    }
    EXPECT_EQ(DPFPSim_CallCount("MC_verifyFeaturesEx"), 1) << "only the case that got that far compared";
}

TEST_F(DpfpMatch, ACallerWithoutAMessageBufferReceivesTheOperations) {
    const std::string stored = PackedFeatures(5, true);
    BioStatus status{};
    EXPECT_EQ(FK_VerifyMatch("Z", stored.c_str(), "Z", "ERROR - 999", &status), 0);
    ASSERT_NE(status.message, nullptr);
    EXPECT_STREQ(status.message, "ERROR - FK_VerifyMatch - Invalid Parameter - 7");
    EXPECT_EQ(status.operation, 2030);
    std::free(status.message);
}

TEST_F(DpfpMatch, McsDigitalMatchesTheLiveTemplateAgainstAList) {
    std::string live = PackedFeatures(6, false), first = PackedFeatures(1, true), second = PackedFeatures(6, true),
                third = PackedFeatures(6, true), other = PackedFeatures(2, true);
    char* matching[] = {live.data(), first.data(), second.data(), third.data()};
    char out[1100];
    EXPECT_EQ(FK_VerifyMcsDigital(matching, 4, out, sizeof out), 1);
    EXPECT_STREQ(out, "true#true#0#");
    EXPECT_EQ(DPFPSim_CallCount("MC_verifyFeaturesEx"), 2) << "the third template is never compared";

    char* none[] = {live.data(), first.data(), other.data(), nullptr, second.data()};
    EXPECT_EQ(FK_VerifyMcsDigital(none, 5, out, sizeof out), 0) << "the list ends at its null entry";
    EXPECT_STREQ(out, "true#false#0#");

    auto untouched = [&](char** texts, int32_t count, int32_t size) {
        std::memset(out, 'z', sizeof out);
        const int32_t result = FK_VerifyMcsDigital(texts, count, out, size);
        return result == 0 && out[0] == 'z';
    };
    EXPECT_TRUE(untouched(matching, 4, 63)) << "a buffer under 64 bytes gets nothing, even for a match";
    EXPECT_TRUE(untouched(matching, 1, sizeof out));
    std::string empty;
    char* noLive[] = {empty.data(), second.data()};
    EXPECT_TRUE(untouched(noLive, 2, sizeof out));
    EXPECT_TRUE(untouched(nullptr, 2, sizeof out));

    // The list reads its live template once, yet each comparison writes the
    // records a call of its own writes, an unreadable live template included.
    const auto records = [](const std::string& log) {
        std::string kept;
        for (size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
            const size_t origin = std::min(log.find("] [", at), end);
            kept += log.substr(origin, end + 1 - origin);
        }
        return kept;
    };
    std::string broken = WithLongerHeader(live), unreadable = WithLongerHeader(other);
    for (std::string* liveText : {&live, &broken}) {
        char* list[] = {liveText->data(), first.data(), unreadable.data(), second.data()};
        size_t before = OperationLogSize();
        FK_VerifyMcsDigital(list, 4, out, sizeof out);
        const std::string listed = records(OperationLogSince(before));
        before = OperationLogSize();
        for (int i = 1; i < 4; ++i) {
            BioStatus status{};
            const int32_t result = FK_VerifyMatch(nullptr, list[i], nullptr, list[0], &status);
            std::free(status.message);
            if (result != 0) break;
        }
        EXPECT_EQ(listed, records(OperationLogSince(before)));
        size_t comparisons = 0;
        for (size_t at = listed.find("] End FK_VerifyMatch\n"); at != std::string::npos;
             at = listed.find("] End FK_VerifyMatch\n", at + 1)) {
            ++comparisons;
        }
        EXPECT_EQ(comparisons, 3u) << listed;
    }

    // The answer stays inside the size the caller gives.
    Script("verify=-1");
    char* failing[] = {live.data(), other.data()};
    std::memset(out, 'z', sizeof out);
    FK_VerifyMcsDigital(failing, 2, out, 64);
    EXPECT_EQ(std::strlen(out), 63u);
    EXPECT_EQ(out[64], 'z');
}

// The operation log is a plain file that is never rolled: the comparison's
// record names each template by its length and digest, and carries the texts
// themselves only while the debug switch is on. So does FK_Verify's record of
// the live text.
TEST_F(DpfpMatch, TemplatesStayOutOfTheOperationLog) {
    const std::string stored = PackedFeatures(2, true), live = NativeFeatures(2, false);
    const auto named = [](const std::string& text) {
        const Sha256Digest digest = Sha256(text.data(), text.size());
        char hex[13];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x%02x%02x", digest[0], digest[1], digest[2], digest[3],
                      digest[4], digest[5]);
        return "<" + std::to_string(text.size()) + " chars sha256:" + hex + ">";
    };
    const auto record = [](const std::string& log, const char* start) {
        const size_t at = log.find(start);
        return at == std::string::npos ? std::string() : log.substr(at, log.find('\n', at) - at);
    };
    const auto debug = reinterpret_cast<int32_t (*)(uint8_t)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("fpbridge_dpfp.dll"), "__SetKavroBioDebug")));
    ASSERT_NE(debug, nullptr);

    size_t before = OperationLogSize();
    ASSERT_EQ(FK_VerifyMatch("Z", stored.c_str(), "N", live.c_str(), nullptr), 1);
    Script("finger=2");
    ASSERT_EQ(FK_Verify(nullptr, stored.c_str()), 1);
    std::string log = OperationLogSince(before);
    EXPECT_EQ(record(log, "tpStored="), "tpStored=Z FkStored=" + named(stored) + " tpVerify=N ToVerify=" + named(live));
    EXPECT_NE(record(log, "ret64=<"), "") << log;
    EXPECT_EQ(log.find(stored), std::string::npos);
    EXPECT_EQ(log.find(live), std::string::npos);

    debug(1);
    before = OperationLogSize();
    FK_VerifyMatch(nullptr, stored.c_str(), "N", live.c_str(), nullptr);
    debug(0);
    log = OperationLogSince(before);
    EXPECT_EQ(record(log, "tpStored="), "tpStored=(null) FkStored=" + stored + " tpVerify=N ToVerify=" + live);
}

}  // namespace
