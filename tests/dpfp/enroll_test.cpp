// FK_Capture: enrollment of one finger from the samples the comparison module
// asks for, in the capture window, the samples arriving as window messages.
#include "dpfp_fixture.h"

namespace {

using DpfpEnroll = DpfpBridge;

std::string Prompt(int sample, int needed, bool fromWorker = false) {
    return std::string(fromWorker ? "ENROLL:Scan" : "ENROLL: Scan") + " your finger for enrollment. - (" +
           std::to_string(sample) + "/" + std::to_string(needed) + ")";
}

TEST_F(DpfpEnroll, EnrollsFromTheSamplesTheModuleAsksFor) {
    Script("finger=3");
    CaptureWindowProbe probe;
    const std::string text = Enroll();

    EXPECT_EQ(probe.windowsSeen(), 1);
    EXPECT_GT(probe.last().inkAtFinish, 500) << "the last sample's bitmap is drawn beside the logo";
    const std::vector<std::string> expected = {
        Prompt(1, 4, true), "Finger touched", Prompt(1, 4), "Finger touched", Prompt(2, 4),
        "Finger touched",   Prompt(3, 4),   "Finger touched", Prompt(4, 4)};
    EXPECT_EQ(probe.prompts(), expected);

    const DecodedEnvelope envelope = Envelope(text);
    EXPECT_EQ(envelope.header.imageWidth, 0) << "an enrollment records no display image";
    EXPECT_EQ(envelope.header.imageHeight, 0);
    EXPECT_EQ(envelope.header.packedSize, envelope.decodedLength - kEnvelopeHeaderSize);
    EXPECT_EQ(envelope.header.unpackedSize, TemplateSize());
    EXPECT_EQ(Unpacked(text).size(), static_cast<size_t>(TemplateSize()));

    DPFPSimLastCall call{};
    DPFPSim_GetLastCall(&call);
    EXPECT_EQ(call.acquisitionPriority, 3);
    EXPECT_EQ(call.acquisitionDataTypes, 4u);
    EXPECT_EQ(call.acquisitionMessage, 2024u);
    EXPECT_EQ(call.acquisitionAnyReader, 1);
    EXPECT_EQ(call.acquisitionWindow, probe.last().frame);
    EXPECT_EQ(call.generateCount, 4);
    EXPECT_EQ(DPFPSim_CallCount("DPFPConvertSampleToBitmap"), 8) << "each sample drawn: size, then bitmap";

    const std::string sameFinger = PackedFeatures(3, false), otherFinger = PackedFeatures(4, false);
    EXPECT_EQ(FK_VerifyMatch("Z", text.c_str(), "Z", sameFinger.c_str(), nullptr), 1);
    EXPECT_EQ(FK_VerifyMatch("Z", text.c_str(), "Z", otherFinger.c_str(), nullptr), 0);
    EXPECT_EQ(FindWindowA("BioProc", "KAVRO - Biometria"), nullptr) << "the frame is gone after the operation";
}

TEST_F(DpfpEnroll, TakesAsManySamplesAsTheModuleSaysAndIgnoresOtherEvents) {
    // Kinds the enrollment has no use for change nothing.
    Script("needed=2;events=disconnect,connect,gone,ready,kind:4,kind:8,kind:9,kind:11,touch,sample");
    CaptureWindowProbe probe;
    const std::string text = Enroll();
    EXPECT_EQ(Unpacked(text).size(), static_cast<size_t>(TemplateSize())) << text;
    const std::vector<std::string> expected = {Prompt(1, 2, true), "Finger touched", Prompt(1, 2), "Finger touched",
                                               Prompt(2, 2)};
    EXPECT_EQ(probe.prompts(), expected);
    EXPECT_EQ(DPFPSim_CallCount("FX_extractFeatures"), 2);
}

TEST_F(DpfpEnroll, EachFailureEndsTheEnrollmentWithItsText) {
    struct Case {
        const char* script;
        const char* text;
    };
    const Case cases[] = {
        {"fxlen=-1", "Fail to get features len (FX_getFeaturesLen)"},
        {"extract=-8", "Fail to extract features. (FX_extractFeatures)"},
        {"created=1,0", "Pre-Enrollment feature set fail."},
        {"mclen=-2", "Fail to get features len (MC_getFeaturesLen)"},
        {"generate=-8", "Enrollment Template fail."},
        {"finger=1,1,1,2", "Enrollment Template fail."},
        {"events=touch,error:5,hold", "ERROR - Error code: 0x5 - An unknown exception occurred.."},
        {"events=sample,sample,stop,hold", "ERROR - Enrollment ended after 2 of 4 samples; no template was made."},
        {"needed=0", "ERROR - The comparison module asks for 0 feature sets per template."},
        {"needed=-1", "ERROR - The comparison module asks for -1 feature sets per template."},
        {"needed=100000", "ERROR - The comparison module asks for 100000 feature sets per template."},
    };
    for (const Case& c : cases) {
        DPFPSim_Reset();
        Script(c.script);
        EXPECT_EQ(Enroll(), c.text) << c.script;
        ExpectNothingLive();
    }
    // A failed sample is not retried: the second one ended it.
    DPFPSim_Reset();
    Script("created=1,0");
    Enroll();
    EXPECT_EQ(DPFPSim_CallCount("FX_extractFeatures"), 2);
    EXPECT_EQ(DPFPSim_CallCount("MC_generateRegFeatures"), 0);
}

TEST_F(DpfpEnroll, CancelKeepsTheMessageAndTheNextEnrollmentWorks) {
    Script("events=touch,hold");
    {
        CaptureWindowProbe probe(true);
        EXPECT_EQ(Enroll(), "") << "nothing to report but the cancel";
    }
    Script("init=1");
    {
        CaptureWindowProbe probe(true);
        EXPECT_EQ(Enroll(), "ERROR - OPERATION (2024).Device already in use.");
    }
    // An acquisition that cannot be made or started ends the enrollment at
    // once: no event would ever come.
    DPFPSim_Reset();
    Script("create=-10");
    EXPECT_EQ(Enroll(), "ERROR (-10) - DPFPCreateAcquisition - The fingerprint reader is not known..");
    EXPECT_EQ(DPFPSim_CallCount("DPFPStartAcquisition"), 1);
    DPFPSim_Reset();
    Script("start=-8");
    EXPECT_EQ(Enroll(), "ERROR (-8) - DPFPStartAcquisition - An internal error occurred..");
    DPFPSim_Reset();
    EXPECT_EQ(Unpacked(Enroll()).size(), static_cast<size_t>(TemplateSize()));
}

TEST_F(DpfpEnroll, EventsAfterTheEndAreIgnored) {
    // The error comes right behind the last sample, before the finish message
    // is handled: the enrollment is over and keeps its template.
    Script("needed=2;events=sample@0,sample@0,error:5@0,sample@0,hold");
    const std::string text = Enroll();
    EXPECT_EQ(Unpacked(text).size(), static_cast<size_t>(TemplateSize())) << text;
    EXPECT_EQ(DPFPSim_CallCount("FX_extractFeatures"), 2);
}

}  // namespace
