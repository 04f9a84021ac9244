// Shared set-up of the NITGEN bridge tests: the real fpbridge_nbio.dll over the
// simulated reader, with every SDK object checked for release after each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "NBioSim.h"
#include "fpbridge_nbio.h"
#include "template_codec.h"
#include "template_text.h"
#include "window_probe.h"

class NbioBridge : public ::testing::Test {
protected:
    void SetUp() override {
        NBioSim_Reset();
        FK_SetAuthType(1);
    }
    void TearDown() override {
        NBioSimCounters live{};
        NBioSim_GetCounters(&live);
        EXPECT_EQ(live.instances, 0);
        EXPECT_EQ(live.devices, 0);
        EXPECT_EQ(live.firHandles, 0);
        EXPECT_EQ(live.textFirs, 0);
        EXPECT_EQ(live.exports, 0);
    }
    static void Script(const char* script) { ASSERT_EQ(NBioSim_Configure(script), 0) << script; }
};

// For tests that read or forge packed template texts with the codec, which
// needs its work buffers in this process too.
class NbioCodecBridge : public NbioBridge {
protected:
    void SetUp() override {
        NbioBridge::SetUp();
        ASSERT_TRUE(CodecAllocateBuffers());
    }
    void TearDown() override {
        CodecReleaseBuffers();
        NbioBridge::TearDown();
    }
};

// The template bytes inside a packed template text (empty when it does not unpack).
inline std::vector<unsigned char> UnpackedTemplate(const std::string& text, DecodedEnvelope* envelope = nullptr) {
    DecodedEnvelope decoded;
    DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), kNbioEnvelope, &decoded);
    std::vector<unsigned char> bytes;
    if (!UnpackEnvelope(decoded, &bytes)) bytes.clear();
    if (envelope) *envelope = decoded;
    return bytes;
}

// The text FK_Capture returned, freed.
inline std::string TakeText(char* text) {
    std::string s = text ? text : "<null>";
    std::free(text);
    return s;
}

inline std::string CaptureText() { return TakeText(FK_Capture(nullptr, 1)); }
