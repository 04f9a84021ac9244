// Shared set-up of the DigitalPersona bridge tests: the real fpbridge_dpfp.dll
// over the simulated reader, with every SDK session, context and block checked
// for release after each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "DPFPSim.h"
#include "fpbridge_dpfp.h"
#include "template_codec.h"
#include "template_text.h"
#include "window_probe.h"

class DpfpBridge : public ::testing::Test {
protected:
    void SetUp() override {
        DPFPSim_Reset();
        ASSERT_TRUE(CodecAllocateBuffers());
    }
    void TearDown() override {
        CodecReleaseBuffers();
        ExpectNothingLive();
    }
    static void Script(const char* script) { ASSERT_EQ(DPFPSim_Configure(script), 0) << script; }
    static void ExpectNothingLive() {
        DPFPSimCounters live{};
        DPFPSim_GetCounters(&live);
        EXPECT_EQ(live.readerSessions, 0);
        EXPECT_EQ(live.fxSessions, 0);
        EXPECT_EQ(live.mcSessions, 0);
        EXPECT_EQ(live.fxContexts, 0);
        EXPECT_EQ(live.mcContexts, 0);
        EXPECT_EQ(live.acquisitions, 0);
        EXPECT_EQ(live.runningThreads, 0);
        EXPECT_EQ(live.blocks, 0);
    }
};

// The text an export returned, freed.
inline std::string TakeText(char* text) {
    std::string s = text ? text : "<null>";
    std::free(text);
    return s;
}

inline std::string Enroll() { return TakeText(FK_Capture(nullptr, 1)); }
inline std::string CaptureLive() { return TakeText(FK_VerifyServer()); }

inline DecodedEnvelope Envelope(const std::string& text) {
    DecodedEnvelope envelope;
    DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), kDpfpEnvelope, &envelope);
    return envelope;
}

// The template bytes inside a packed template text (empty when it does not unpack).
inline std::vector<unsigned char> Unpacked(const std::string& text) {
    std::vector<unsigned char> bytes;
    if (!UnpackEnvelope(Envelope(text), &bytes)) bytes.clear();
    return bytes;
}

// A registration template or a verification feature set of `finger`, as the
// simulated modules make them, in native form (its bytes are printable).
inline std::string NativeFeatures(int finger, bool registration) {
    const int32_t size = DPFPSim_MakeFeatures(finger, registration ? 1 : 0, nullptr, 0);
    std::string bytes(static_cast<size_t>(size), '\0');
    DPFPSim_MakeFeatures(finger, registration ? 1 : 0, reinterpret_cast<uint8_t*>(bytes.data()), size);
    return bytes;
}

// The same, as packed template text.
inline std::string PackedFeatures(int finger, bool registration, int32_t width = 0, int32_t height = 0) {
    const std::string bytes = NativeFeatures(finger, registration);
    return TakeText(PackTemplateText(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<int32_t>(bytes.size()), kDpfpEnvelope, width, height));
}

inline int32_t VerifySetSize() { return DPFPSim_MakeFeatures(1, 0, nullptr, 0); }
inline int32_t TemplateSize() { return DPFPSim_MakeFeatures(1, 1, nullptr, 0); }
