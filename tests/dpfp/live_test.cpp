// FK_VerifyServer (one live finger as packed template text) and FK_Verify
// (that finger matched at once against a stored template).
#include "dpfp_fixture.h"

namespace {

using DpfpLive = DpfpBridge;

TEST_F(DpfpLive, LiveTemplateCarriesTheDisplayImageSize) {
    CaptureWindowProbe probe;
    const std::string text = CaptureLive();
    EXPECT_EQ(probe.windowsSeen(), 1);
    EXPECT_GT(probe.last().inkAtFinish, 500) << "the display image is in the image pane";
    ASSERT_FALSE(probe.prompts().empty());
    EXPECT_EQ(probe.prompts().front(), "VERIFYSERVER: Scan your finger for verify.");

    const DecodedEnvelope envelope = Envelope(text);
    EXPECT_EQ(envelope.header.imageWidth, 320) << "row length of the image pane's display image";
    EXPECT_EQ(envelope.header.imageHeight, 480);
    EXPECT_EQ(envelope.header.unpackedSize, VerifySetSize());
    EXPECT_EQ(Unpacked(text).size(), static_cast<size_t>(VerifySetSize()));

    DPFPSimLastCall call{};
    DPFPSim_GetLastCall(&call);
    EXPECT_EQ(call.acquisitionMessage, 2028u);
    EXPECT_EQ(call.displaySize[0], 320);
    EXPECT_EQ(call.displaySize[1], 480);
    EXPECT_EQ(call.displayOrientation, 0);
    EXPECT_EQ(call.displayColours, 256);
    EXPECT_EQ(call.extractPurpose, 2);
    EXPECT_EQ(DPFPSim_CallCount("FX_extractFeatures"), 1) << "the first image ends the capture";
}

TEST_F(DpfpLive, VerifyMatchesTheSameFingerOnly) {
    const std::string stored = PackedFeatures(3, true);
    Script("finger=3");
    EXPECT_EQ(FK_Verify(nullptr, stored.c_str()), 1);
    EXPECT_EQ(FK_Verify("N", NativeFeatures(3, true).c_str()), 1) << "a native stored template";
    Script("finger=4");
    EXPECT_EQ(FK_Verify("Z", stored.c_str()), 0);
}

TEST_F(DpfpLive, ACancelledCaptureIsNeverAMatch) {
    Script("events=touch,hold");
    {
        CaptureWindowProbe probe(true);
        EXPECT_EQ(CaptureLive(), "ERROR - 999");
    }
    const std::string stored = PackedFeatures(1, true);
    {
        CaptureWindowProbe probe(true);
        EXPECT_EQ(FK_Verify("Z", stored.c_str()), 0);
    }
    EXPECT_EQ(DPFPSim_CallCount("MC_verifyFeaturesEx"), 0) << "no match is attempted";
    EXPECT_EQ(DPFPSim_CallCount("FX_init"), 2) << "the two captures only";

    // An acquisition that does not start ends the capture at once: no event
    // would ever come.
    Script("start=-8");
    EXPECT_EQ(CaptureLive(), "ERROR - -8 - ERROR (-8) - DPFPStartAcquisition - An internal error occurred..");
}

TEST_F(DpfpLive, ACaptureWithoutAFingerprintFails) {
    struct Case {
        const char* script;
        const char* text;
    };
    const Case cases[] = {
        {"events=touch,error:5,hold", "ERROR - 5 - Error code: 0x5 - An unknown exception occurred.."},
        {"events=touch,stop,hold", "ERROR - 0 - The reader stopped before a fingerprint was read."},
        {"events=nodata,hold", "ERROR - 0 - The reader sent an image without fingerprint data."},
        {"extract=-8", "ERROR - 0 - No verification feature set could be made from the fingerprint."},
        {"created=0", "ERROR - 0 - No verification feature set could be made from the fingerprint."},
        {"fxlen=-1", "ERROR - 0 - No verification feature set could be made from the fingerprint."},
        // The same, taken by the window before the worker's start call returns:
        // nothing the worker does afterwards overwrites the reason.
        {"events=error:5@now,hold", "ERROR - 5 - Error code: 0x5 - An unknown exception occurred.."},
        {"events=stop@now,hold", "ERROR - 0 - The reader stopped before a fingerprint was read."},
        {"events=nodata@now,hold", "ERROR - 0 - The reader sent an image without fingerprint data."},
        {"events=sample@now,hold;extract=-8", "ERROR - 0 - No verification feature set could be made from the fingerprint."},
    };
    const std::string stored = PackedFeatures(1, true);
    for (const Case& c : cases) {
        DPFPSim_Reset();
        Script(c.script);
        EXPECT_EQ(CaptureLive(), c.text) << c.script;
        EXPECT_EQ(FK_Verify(nullptr, stored.c_str()), 0) << c.script;
        EXPECT_EQ(DPFPSim_CallCount("MC_verifyFeaturesEx"), 0) << c.script;
        ExpectNothingLive();
    }
}

TEST_F(DpfpLive, WithoutTheSdkThereIsNoText) {
    Script("fxinit=-7");
    CaptureWindowProbe probe;
    EXPECT_EQ(CaptureLive(), "<null>");
    EXPECT_EQ(probe.windowsSeen(), 0);
    EXPECT_EQ(DPFPSim_CallCount("MC_init"), 0);
    EXPECT_EQ(FK_Verify(nullptr, PackedFeatures(1, true).c_str()), 0);
    EXPECT_EQ(DPFPSim_CallCount("FX_terminate"), 3) << "every failed session is still ended";
}

}  // namespace
