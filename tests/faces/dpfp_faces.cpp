// fpbridge_dpfp.dll under the faces' tests: the simulated DigitalPersona
// reader. Stored templates and live feature sets are made without the reader,
// as a client's stored ones would be.
#include <cstdlib>
#include <vector>

#include "DPFPSim.h"
#include "faces_fixture.h"
#include "template_codec.h"
#include "template_text.h"

namespace {

bool ReaderIdle() {
    DPFPSimCounters live{};
    DPFPSim_GetCounters(&live);
    return live.readerSessions == 0 && live.fxSessions == 0 && live.mcSessions == 0 && live.fxContexts == 0 &&
           live.mcContexts == 0 && live.acquisitions == 0 && live.runningThreads == 0 && live.blocks == 0;
}

std::string FeaturesOf(HMODULE, int finger, bool stored) {
    const int32_t size = DPFPSim_MakeFeatures(finger, stored ? 1 : 0, nullptr, 0);
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    DPFPSim_MakeFeatures(finger, stored ? 1 : 0, bytes.data(), size);
    // The codec packs through its work buffers, which this process needs too.
    static const bool codecReady = CodecAllocateBuffers();
    EXPECT_TRUE(codecReady);
    char* text = PackTemplateText(bytes.data(), size, kDpfpEnvelope);
    const std::string packed = text ? text : "<null>";
    std::free(text);
    return packed;
}

}  // namespace

const FacesBridge& DpfpFaces() {
    static const FacesBridge faces = {
        "fpbridge_dpfp.dll",
        DPFPSim_Reset,
        DPFPSim_Configure,
        [] { return DPFPSim_CallCount("MC_verifyFeaturesEx"); },
        ReaderIdle,
        FeaturesOf,
        DPFPSim_CallCount,
        "delay=60",
        "fxinit=-7",
        "-7",
        "1",
        "1",
        true,
        "events=touch,hold",
    };
    return faces;
}

namespace {

using DpfpNatives = NativesTest;

// The record after FK_Capture names the Java release the JVM's JNI version
// belongs to, or gives the version itself.
TEST_P(DpfpNatives, CaptureRecordNamesTheJavaVersion) {
    const struct {
        jint version;
        const char* record;
    } cases[] = {
        {0x00010004, "Java 1.4"}, {0x00010006, "Java 1.6"},           {0x00010007, "Java 1.7"},
        {0x00010008, "Java 1.8"}, {0x00010002, "Java Version=65538"}, {0x00150000, "Java Version=1376256"},
    };
    for (const auto& c : cases) {
        jni.setVersion(c.version);
        const size_t before = OperationLogSize();
        capture();
        const std::string records = OperationLogSince(before);
        EXPECT_NE(records.find("[Java_com_bio_BioApplet_FK_1Capture@"), std::string::npos) << records;
        EXPECT_NE(records.find("] " + std::string(c.record) + "\n"), std::string::npos) << c.record << "\n" << records;
    }
}

// An SDK that cannot start gives no live text: Java gets null, and no string is
// made for it.
TEST_P(DpfpNatives, VerifyServerWithoutTextGivesNull) {
    script("fxinit=-7");
    EXPECT_EQ(verifyServer(), "<null>");
    EXPECT_TRUE(jni.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Dpfp, DpfpNatives, ::testing::Values(&DpfpFaces()), BridgeName);

}  // namespace
