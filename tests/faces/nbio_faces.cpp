// fpbridge_nbio.dll under the faces' tests: the simulated NITGEN reader, whose
// captures give the template texts.
#include <cstdlib>

#include "NBioSim.h"
#include "faces_fixture.h"

namespace {

bool ReaderIdle() {
    NBioSimCounters live{};
    NBioSim_GetCounters(&live);
    return live.instances == 0 && live.devices == 0 && live.firHandles == 0 && live.textFirs == 0 && live.exports == 0;
}

std::string CaptureOf(HMODULE library, int finger, bool) {
    EXPECT_EQ(NBioSim_Configure(("finger=" + std::to_string(finger)).c_str()), 0);
    char* text = Export<char* (*)(const char*, int32_t)>(library, "FK_Capture")(nullptr, 1);
    const std::string captured = text ? text : "<null>";
    std::free(text);
    return captured;
}

}  // namespace

const FacesBridge& NbioFaces() {
    static const FacesBridge faces = {
        "fpbridge_nbio.dll",
        NBioSim_Reset,
        NBioSim_Configure,
        [] { return NBioSim_CallCount("NBioAPI_VerifyMatch"); },
        ReaderIdle,
        CaptureOf,
        NBioSim_CallCount,
        "delay=400",
        "init=5",
        "1",
        "-1",
        "0",
        false,
        "block=1;timeout=500",
    };
    return faces;
}

namespace {

using NbioNatives = NativesTest;

// FK_SetAuthType(2) selects FDx templates of format 35 for later captures,
// as the C call does.
TEST_P(NbioNatives, SetAuthTypeTwoSelectsFdxTemplates) {
    setAuthType(2);
    capture();
    NBioSimLastCall call{};
    NBioSim_GetLastCall(&call);
    EXPECT_EQ(NBioSim_CallCount("NBioAPI_NBioBSPToFDx"), 1);
    EXPECT_EQ(call.fdxFormatType, 35);
}

INSTANTIATE_TEST_SUITE_P(Nbio, NbioNatives, ::testing::Values(&NbioFaces()), BridgeName);

}  // namespace
