// The SDK session of one operation (FK_Init, FK_Close) and the small exports.
#include <cstring>

#include "dpfp_fixture.h"
#include "dpfp_task.h"

namespace {

using DpfpSession = DpfpBridge;

TEST_F(DpfpSession, InitReportsEachFailureAndCloseEndsWhateverStarted) {
    struct Case {
        const char* script;
        int32_t operation;
        int32_t result;
        const char* message;
        int32_t comparisonInits;
    };
    const Case cases[] = {
        {"", 2024, 0, "", 1},
        {"init=1", 2024, 0, "ERROR - OPERATION (2024).Device already in use.", 1},
        {"fxinit=-7", 2028, -7, "ERROR (-7) - OPERATION (2028). Error on FX_init.", 0},
        {"mcinit=-1", 2030, -1, "ERROR (-1) - OPERATION (2030). Error on MC_init.", 1},
    };
    for (const Case& c : cases) {
        DPFPSim_Reset();
        Script(c.script);
        OwnedStatus status(c.operation);
        BioTask task(c.operation, nullptr, status.get());
        EXPECT_EQ(FK_Init(1, &task), c.result) << c.script;
        EXPECT_STREQ(status->message, c.message) << c.script;
        EXPECT_FALSE(status->success) << "FK_Init leaves the success flag as the caller set it";
        EXPECT_EQ(DPFPSim_CallCount("MC_init"), c.comparisonInits) << c.script;
        EXPECT_EQ(FK_Close(), 1) << c.script;
        EXPECT_EQ(DPFPSim_CallCount("FX_terminate"), 1);
        EXPECT_EQ(DPFPSim_CallCount("MC_terminate"), 1);
        EXPECT_EQ(DPFPSim_CallCount("DPFPTerm"), 1);
        ExpectNothingLive();
    }
    DPFPSim_Reset();
    Script("fxterm=-8");
    EXPECT_EQ(FK_Close(), 0);
    EXPECT_EQ(FK_Init(0, nullptr), 0) << "a caller without a task still gets a session";
    Script("fxterm=0");
    EXPECT_EQ(FK_Close(), 1);
}

TEST_F(DpfpSession, DeviceSerialIsTheLastReadersAlwaysTerminated) {
    auto serial = [](const char* script) {
        DPFPSim_Reset();
        EXPECT_EQ(DPFPSim_Configure(script), 0) << script;
        char out[200];
        std::memset(out, 'z', sizeof out);
        const int32_t result = FK_DeviceSerial(out);
        EXPECT_EQ(out[kDeviceSerialSize], 'z') << script << ": nothing past the caller's 128 bytes";
        EXPECT_EQ(DPFPSim_CallCount("DPFPInit"), DPFPSim_CallCount("DPFPTerm")) << script;
        return std::to_string(result) + ":" + (std::memchr(out, 0, kDeviceSerialSize) ? out : "<unterminated>");
    };
    EXPECT_EQ(serial("devices="), "0:");
    EXPECT_EQ(serial("devices=SIM0042"), "0:SIM0042");
    EXPECT_EQ(serial("devices=FIRST01,SECOND02"), "0:SECOND02");
    const std::string longSerial(150, 'L');
    EXPECT_EQ(serial(("devices=" + longSerial).c_str()), "0:" + longSerial.substr(0, 127));
    EXPECT_EQ(serial("enumerate=-5"), "1:");
    EXPECT_EQ(serial("deviceinfo=-5;devices=SIM0042"), "0:");

    DPFPSim_Reset();
    EXPECT_EQ(FK_DeviceSerial(nullptr), 1);
    EXPECT_EQ(DPFPSim_CallCount("DPFPInit"), 0);
}

TEST_F(DpfpSession, AuthTypeAndConversionDoNothing) {
    FK_SetAuthType(2);
    int32_t size = 7;
    EXPECT_EQ(FK_Convert(1, &size, &size, 35), 0);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(DPFPSim_CallCount("DPFPInit"), 0);
}

}  // namespace
