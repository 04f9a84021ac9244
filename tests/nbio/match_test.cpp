#include <cstring>

#include "nbio_fixture.h"

namespace {

class NbioMatch : public NbioCodecBridge {
protected:
    // A capture of `finger` as packed template text.
    std::string CaptureOf(int finger) {
        Script(("finger=" + std::to_string(finger)).c_str());
        const std::string text = CaptureText();
        EXPECT_EQ(text.rfind("ERROR", 0), std::string::npos) << text;
        return text;
    }

    // The packed text with its header's sizes replaced.
    static std::string WithSizes(const std::string& text, int32_t packed, int32_t unpacked) {
        DecodedEnvelope envelope;
        DecodeEnvelope(text.c_str(), static_cast<int32_t>(text.size()), kNbioEnvelope, &envelope);
        EnvelopeHeader header = envelope.header;
        header.packedSize = packed;
        header.unpackedSize = unpacked;
        return EnvelopeText(kNbioEnvelope, header, envelope.streamBytes());
    }
    static int32_t PackedSize(const std::string& text) {
        DecodedEnvelope envelope;
        UnpackedTemplate(text, &envelope);
        return envelope.header.packedSize;
    }

    struct Outcome {
        int32_t result;
        BioStatus status;
        std::string message;
    };
    static Outcome VerifyMatch(const char* tpStored, const char* stored, const char* tpVerify, const char* verify) {
        // The caller's own buffer, as the guide tells a client to bring one: the
        // library puts its own in its place, and the client frees both.
        char* own = static_cast<char*>(std::calloc(kBioMessageSize, 1));
        Outcome o{};
        o.status.message = own;
        o.result = FK_VerifyMatch(tpStored, stored, tpVerify, verify, &o.status);
        EXPECT_NE(o.status.message, own);
        o.message = o.status.message ? o.status.message : "<no buffer>";
        FK_FreeText(o.status.message);
        o.status.message = nullptr;
        std::free(own);
        return o;
    }
};

TEST_F(NbioMatch, SameFingerMatchesOtherFingerDoesNot) {
    for (int32_t authType : {1, 2}) {
        FK_SetAuthType(authType);
        const std::string first = CaptureOf(3), second = CaptureOf(3), other = CaptureOf(4);
        EXPECT_NE(first, second) << "two captures differ in their bytes";
        NBioSim_Reset();
        const Outcome same = VerifyMatch("Z", first.c_str(), "Z", second.c_str());
        EXPECT_EQ(same.result, 1) << authType;
        EXPECT_TRUE(same.status.success && same.status.matched);
        EXPECT_EQ(same.status.operation, kOpVerifyMatch);
        const Outcome different = VerifyMatch("Z", first.c_str(), "Z", other.c_str());
        EXPECT_EQ(different.result, 0) << authType;
        EXPECT_TRUE(different.status.success);
        EXPECT_FALSE(different.status.matched);
        EXPECT_EQ(NBioSim_CallCount("NBioAPI_OpenDevice"), 0) << "matching needs no reader";
    }
}

TEST_F(NbioMatch, FdxTemplatesReachTheSdkVerifyFirst) {
    for (int32_t authType : {1, 2}) {
        FK_SetAuthType(authType);
        const std::string stored = CaptureOf(5), verify = CaptureOf(6);
        NBioSim_Reset();
        EXPECT_EQ(VerifyMatch("Z", stored.c_str(), "Z", verify.c_str()).result, 0);
        NBioSimLastCall call{};
        NBioSim_GetLastCall(&call);
        const bool fdx = authType == 2;
        EXPECT_EQ(call.matchFingers[0], fdx ? 6 : 5) << authType;
        EXPECT_EQ(call.matchFingers[1], fdx ? 5 : 6) << authType;
        EXPECT_EQ(NBioSim_CallCount("NBioAPI_FDxToNBioBSP"), fdx ? 2 : 0);
        if (fdx) {
            EXPECT_EQ(call.fdxFormatType, 35);
        }
    }
}

TEST_F(NbioMatch, ErrorTable) {
    const std::string good = CaptureOf(1);
    NBioSim_Reset();
    const int32_t c = PackedSize(good);
    const std::string longer = WithSizes(good, c - 1, 10), shorter = WithSizes(good, c + 1, 10);
    const std::string zeroPacked = WithSizes(good, 0, 10), zeroUnpacked = WithSizes(good, c, 0);
    const std::string huge = WithSizes(good, c, 0x7FFFFFFF);
    struct Case {
        const char* name;
        const char* stored;
        const char* verify;
        int32_t error;
        const char* message;
    };
    const Case cases[] = {
        {"no verify text", good.c_str(), nullptr, 7, "ERROR - FK_VerifyMatch - Invalid Parameter - 7"},
        {"no stored text", nullptr, good.c_str(), 7, "ERROR - FK_VerifyMatch - Invalid Parameter - 7"},
        {"empty stored text", "", good.c_str(), 7, "ERROR - FK_VerifyMatch - Invalid Parameter - 7"},
        {"stored decodes longer", longer.c_str(), good.c_str(), 14, "ERROR - FK_VerifyMatch - Decode64 Error - 14"},
        {"verify decodes longer", good.c_str(), longer.c_str(), 14, "ERROR - FK_VerifyMatch - decode64 Error - 14"},
        {"stored decodes shorter", shorter.c_str(), good.c_str(), 14, "ERROR - FK_VerifyMatch - Decode64 Error - 14"},
        {"stored packed size 0", zeroPacked.c_str(), good.c_str(), 14, "ERROR - FK_VerifyMatch - Decode64 Error - 14"},
        {"stored unpacked size 0", zeroUnpacked.c_str(), good.c_str(), 6,
         "ERROR - FK_VerifyMatch - Unpack Stored Error - 6"},
        {"verify unpacked size 0", good.c_str(), zeroUnpacked.c_str(), 6,
         "ERROR - FK_VerifyMatch - Unpack Verify Error - 6"},
        {"verify unpacked size huge", good.c_str(), huge.c_str(), 6,
         "ERROR - FK_VerifyMatch - Unpack Verify Error - 6"},
    };
    for (const Case& k : cases) {
        const Outcome o = VerifyMatch("Z", k.stored, "Z", k.verify);
        EXPECT_EQ(o.result, 0) << k.name;
        EXPECT_FALSE(o.status.success) << k.name;
        EXPECT_EQ(o.status.error, k.error) << k.name;
        EXPECT_EQ(o.message, k.message) << k.name;
    }
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_VerifyMatch"), 0);
}

TEST_F(NbioMatch, SdkFailuresAreReported) {
    const std::string good = CaptureOf(1);
    NBioSim_Reset();
    Script("verifymatch=5");
    Outcome o = VerifyMatch("Z", good.c_str(), "Z", good.c_str());
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.status.error, 5);
    EXPECT_EQ(o.message, "ERROR - FK_VerifyMatch - Erro na verificacao - 13");

    NBioSim_Reset();
    Script("init=9");
    o = VerifyMatch("Z", good.c_str(), "Z", good.c_str());
    EXPECT_EQ(o.status.error, 1);
    EXPECT_EQ(o.message, "ERROR - Fingerprint device initialization failed, operation: '2030', error: '9'");
}

TEST_F(NbioMatch, StatusWithoutItsOwnBufferTakesTheOperationsOne) {
    const std::string good = CaptureOf(1);
    BioStatus status{};
    EXPECT_EQ(FK_VerifyMatch("Z", good.c_str(), "Z", nullptr, &status), 0);
    ASSERT_NE(status.message, nullptr);
    EXPECT_STREQ(status.message, "ERROR - FK_VerifyMatch - Invalid Parameter - 7");
    std::free(status.message);
}

TEST_F(NbioMatch, MatchTriesPackedThenNativeStored) {
    const std::string stored = CaptureOf(2), verify = CaptureOf(2);
    NBioSim_Reset();
    EXPECT_EQ(FK_Match(stored.c_str(), verify.c_str()), 1);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_VerifyMatch"), 1);

    // A stored SDK text travels native: the packed attempt fails to decode,
    // the second call decides.
    NBioSim_Reset();
    const std::vector<unsigned char> fir = UnpackedTemplate(stored);
    ASSERT_FALSE(fir.empty());
    const std::string nativeStored(fir.begin(), fir.end());
    EXPECT_EQ(FK_Match(nativeStored.c_str(), verify.c_str()), 1);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_VerifyMatch"), 1) << "only the second call reached the SDK";
    char received[4096] = {};
    NBioSim_LastInputText(1, received, sizeof received);
    EXPECT_EQ(std::string(received), nativeStored);
}

TEST_F(NbioMatch, CaptureAndVerify) {
    const std::string stored = CaptureOf(6);
    Script("finger=6");
    EXPECT_EQ(FK_CaptureAndVerify(stored.c_str()), 1);
    Script("finger=7");
    EXPECT_EQ(FK_CaptureAndVerify(stored.c_str()), 0);
    Script("block=1;timeout=100");
    EXPECT_EQ(FK_CaptureAndVerify(stored.c_str()), -1);
    NBioSim_Reset();
    FK_SetAuthType(2);
    Script("tofdx=5");
    EXPECT_EQ(FK_CaptureAndVerify(stored.c_str()), -1) << "an empty capture text is no template";
}

TEST_F(NbioMatch, VerifyAgainstTheLiveFinger) {
    const std::string stored = CaptureOf(8);
    Script("finger=8");
    EXPECT_EQ(FK_Verify("Z", stored.c_str()), 1);
    NBioSimLastCall call{};
    NBioSim_GetLastCall(&call);
    EXPECT_EQ(call.captureTimeoutMs, -1);
    EXPECT_EQ(call.window.WindowStyle, 1u);
    EXPECT_NE(call.window.FingerWnd, nullptr);
    Script("finger=9");
    EXPECT_EQ(FK_Verify("Z", stored.c_str()), 0);
    EXPECT_EQ(FK_Verify(nullptr, stored.c_str()), 0) << "an absent marker means packed text";
    for (const char* script : {"finger=8;verify=1", "verify=2", "verify=12", "open=260"}) {
        NBioSim_Reset();
        Script(script);
        EXPECT_EQ(FK_Verify("Z", stored.c_str()), 0) << script;
    }
}

TEST_F(NbioMatch, VerifyHandsANativeTextOverUnchanged) {
    const std::string stored = CaptureOf(8);
    NBioSim_Reset();
    const std::vector<unsigned char> fir = UnpackedTemplate(stored);
    ASSERT_FALSE(fir.empty());
    const std::string native(fir.begin(), fir.end());
    Script("finger=8");
    EXPECT_EQ(FK_Verify("N", native.c_str()), 1);
    char received[4096];
    std::memset(received, 'x', sizeof received);
    EXPECT_EQ(NBioSim_LastInputText(0, received, sizeof received), static_cast<int32_t>(native.size() + 1));
    EXPECT_EQ(std::string(received), native);
}

TEST_F(NbioMatch, VerifyRejectsBadTemplatesWithoutAWindow) {
    const std::string good = CaptureOf(1);
    NBioSim_Reset();
    const int32_t c = PackedSize(good);
    CaptureWindowProbe probe;
    for (const std::string& bad :
         {WithSizes(good, c - 1, 10), WithSizes(good, c, 0), WithSizes(good, c, -4), std::string()}) {
        EXPECT_EQ(FK_Verify("Z", bad.c_str()), 0);
    }
    EXPECT_EQ(FK_Verify("Z", nullptr), 0);
    EXPECT_EQ(probe.windowsSeen(), 0);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Verify"), 0);
}

TEST_F(NbioMatch, McsNitGenWritesAFixedStatusLine) {
    char first[] = "anything";
    char* argv[] = {first, first};
    char out[64];
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(FK_VerifyMcsNitGen(argv, 2, out, 64), 0);
    EXPECT_STREQ(out, "false#false#0#");
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(FK_VerifyMcsNitGen(argv, 2, out, 63), 0);
    EXPECT_EQ(out[0], 'z');
    EXPECT_EQ(FK_VerifyMcsNitGen(argv, 1, out, 64), 0);
    EXPECT_EQ(out[0], 'z');
    EXPECT_EQ(FK_VerifyMcsNitGen(nullptr, 2, out, 64), 0);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_Init"), 0);
}

TEST_F(NbioMatch, ConvertBothWays) {
    int32_t size = 12;
    unsigned char bytes[12] = {};
    EXPECT_EQ(FK_Convert(1, bytes, &size, 35), 0) << "no instance open";
    NBioAPI_FIR_HANDLE none = 5;
    EXPECT_EQ(FK_Convert(0, &none, &size, 35), 0);
    EXPECT_EQ(size, 12);

    FK_SetAuthType(2);
    const std::string captured = CaptureOf(4);
    std::vector<unsigned char> fdx = UnpackedTemplate(captured);
    ASSERT_FALSE(fdx.empty());

    ASSERT_EQ(FK_Init(0, nullptr), 0);
    int32_t fdxSize = static_cast<int32_t>(fdx.size());
    NBioAPI_FIR_HANDLE fir = static_cast<NBioAPI_FIR_HANDLE>(FK_Convert(1, fdx.data(), &fdxSize, 35));
    ASSERT_NE(fir, 0u);
    for (int32_t direction : {0, 2, -1}) {
        int32_t outSize = 0;
        auto* out = reinterpret_cast<const unsigned char*>(FK_Convert(direction, &fir, &outSize, 35));
        ASSERT_NE(out, nullptr) << direction;
        EXPECT_EQ(outSize, static_cast<int32_t>(fdx.size())) << direction;
    }
    Script("tofdx=5");
    int32_t kept = 77;
    EXPECT_EQ(FK_Convert(0, &fir, &kept, 35), 0);
    EXPECT_EQ(kept, 77);
    EXPECT_EQ(FK_Close(0), 0);
    // The FIR that direction 1 handed out is the SDK's: nothing releases it
    // but the SDK itself, so it is the one object this test leaves behind.
    NBioSimCounters live{};
    NBioSim_GetCounters(&live);
    EXPECT_EQ(live.firHandles, 1);
    NBioSim_Reset();
}

}  // namespace
