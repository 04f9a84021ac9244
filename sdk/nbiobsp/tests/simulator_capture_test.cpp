// Instances, reader, captures, live verification and the control interface.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "sim_fixture.h"

namespace nbiosim {
namespace {

TEST(Session, InitGivesFreshHandlesAndTerminateEndsThem) {
    Simulator sim(nullptr);
    NBioAPI_HANDLE a = 0, b = 0;
    ASSERT_EQ(sim.Init(&a), 0u);
    ASSERT_EQ(sim.Init(&b), 0u);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(sim.Counters().instances, 2);
    EXPECT_EQ(sim.Terminate(a), 0u);
    EXPECT_EQ(sim.Terminate(a), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.OpenDevice(a, NBioAPI_DEVICE_ID_AUTO), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.Counters().instances, 1);
}

TEST(Session, ScriptedInitFailureLeavesTheHandleEmpty) {
    Simulator sim("init=3,0");
    NBioAPI_HANDLE h = 99;
    EXPECT_EQ(sim.Init(&h), 3u);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(sim.Counters().instances, 0);
    EXPECT_EQ(sim.Init(&h), 0u);
    EXPECT_NE(h, 0u);
}

TEST(Session, ScriptedOpenFailureKeepsTheReaderClosed) {
    Simulator sim("open=260");
    NBioAPI_HANDLE h = 0;
    ASSERT_EQ(sim.Init(&h), 0u);
    EXPECT_EQ(sim.OpenDevice(h, NBioAPI_DEVICE_ID_AUTO), 260u);
    EXPECT_EQ(sim.Counters().devices, 0);
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(sim.BeginCapture(h, 1, &fir, 15000, nullptr).error, static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_NOT_OPENED));
}

TEST(Session, DevicesAreCountedUntilClosed) {
    Simulator sim(nullptr);
    NBioAPI_HANDLE h = 0;
    ASSERT_EQ(sim.Init(&h), 0u);
    ASSERT_EQ(sim.OpenDevice(h, NBioAPI_DEVICE_ID_AUTO), 0u);
    ASSERT_EQ(sim.OpenDevice(h, NBioAPI_DEVICE_ID_AUTO), 0u);
    EXPECT_EQ(sim.Counters().devices, 1);
    EXPECT_EQ(sim.CloseDevice(h, NBioAPI_DEVICE_ID_AUTO), 0u);
    EXPECT_EQ(sim.Counters().devices, 0);
    EXPECT_EQ(sim.CloseDevice(h, NBioAPI_DEVICE_ID_AUTO), static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_NOT_OPENED));
    EXPECT_EQ(sim.CloseDevice(h + 1000, NBioAPI_DEVICE_ID_AUTO),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
}

TEST(Session, TerminateFreesStorageButLeaksStayCounted) {
    Simulator sim(nullptr);
    NBioAPI_HANDLE h = 0;
    ASSERT_EQ(sim.Init(&h), 0u);
    ASSERT_EQ(sim.OpenDevice(h, NBioAPI_DEVICE_ID_AUTO), 0u);
    NBioAPI_FIR_HANDLE fir = 0;
    const CaptureStart start = sim.BeginCapture(h, 1, &fir, 15000, nullptr);
    ASSERT_EQ(sim.FinishCapture(h, start.plan, &fir, nullptr), 0u);
    ASSERT_EQ(sim.Terminate(h), 0u);
    const NBioSimCounters c = sim.Counters();
    EXPECT_EQ(c.instances, 0);
    EXPECT_EQ(c.devices, 1) << "the caller never closed the reader";
    EXPECT_EQ(c.firHandles, 1) << "the caller never freed the FIR";
}

TEST_F(SimTest, DefaultCaptureGivesACountedFirOfFingerOne) {
    NBioAPI_FIR_HANDLE audit = 0;
    NBioAPI_FIR_HANDLE fir = 0;
    const CaptureStart start = sim.BeginCapture(handle, 1, &fir, 15000, nullptr);
    EXPECT_EQ(start.error, 0u);
    EXPECT_FALSE(start.plan.blocked);
    EXPECT_EQ(start.plan.waitMs, 0u);
    EXPECT_EQ(start.plan.finger, 1);
    ASSERT_EQ(sim.FinishCapture(handle, start.plan, &fir, &audit), 0u);
    EXPECT_NE(fir, 0u);
    EXPECT_NE(audit, 0u);
    EXPECT_NE(audit, fir);
    EXPECT_EQ(sim.Counters().firHandles, 2);
    EXPECT_EQ(sim.FreeFIRHandle(handle, fir), 0u);
    EXPECT_EQ(sim.FreeFIRHandle(handle, audit), 0u);
    EXPECT_EQ(sim.FreeFIRHandle(handle, audit), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    ExpectNothingLeft();
}

TEST_F(SimTest, FreeingTheEmptyFirDoesNothing) {
    EXPECT_EQ(sim.FreeFIRHandle(handle, 0), 0u);
    EXPECT_EQ(sim.FreeFIRHandle(handle + 5, 0), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
}

TEST_F(SimTest, CaptureChecksHandlePointerAndReader) {
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(sim.BeginCapture(0, 1, &fir, 15000, nullptr).error, static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.BeginCapture(handle, 1, nullptr, 15000, nullptr).error,
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    ASSERT_EQ(sim.CloseDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
    EXPECT_EQ(sim.BeginCapture(handle, 1, &fir, 15000, nullptr).error, static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_NOT_OPENED));
}

TEST_F(SimTest, ScriptedCaptureResultsComeInTurn) {
    ASSERT_EQ(sim.Configure("capture=1,2,261,515,516,0"), 0);
    for (NBioAPI_RETURN expected : {1u, 2u, 261u, 515u, 516u}) {
        NBioAPI_FIR_HANDLE fir = 77;
        EXPECT_EQ(Capture(&fir), expected);
        EXPECT_EQ(fir, 0u);
    }
    const NBioAPI_FIR_HANDLE fir = CaptureOk();
    EXPECT_EQ(sim.Counters().firHandles, 1);
    sim.FreeFIRHandle(handle, fir);
}

TEST_F(SimTest, BlockedCaptureWaitsItsTimeOutAndLeavesTheQueues) {
    ASSERT_EQ(sim.Configure("block=1;capture=516;finger=3"), 0);
    NBioAPI_FIR_HANDLE fir = 0;
    CaptureStart start = sim.BeginCapture(handle, 1, &fir, 15000, nullptr);
    EXPECT_TRUE(start.plan.blocked);
    EXPECT_EQ(start.plan.waitMs, 15000u);
    EXPECT_EQ(sim.FinishCapture(handle, start.plan, &fir, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_CAPTURE_TIMEOUT));

    EXPECT_EQ(sim.BeginCapture(handle, 1, &fir, -1, nullptr).plan.waitMs, kDefaultCaptureTimeoutMs);
    ASSERT_EQ(sim.Configure("timeout=40"), 0);
    EXPECT_EQ(sim.BeginCapture(handle, 1, &fir, 15000, nullptr).plan.waitMs, 40u);

    ASSERT_EQ(sim.Configure("block=0"), 0);
    start = sim.BeginCapture(handle, 1, &fir, 15000, nullptr);
    EXPECT_EQ(start.plan.result, 516u);
    EXPECT_EQ(start.plan.finger, 3);
}

TEST_F(SimTest, DelayIsTheCapturesWait) {
    ASSERT_EQ(sim.Configure("delay=1200;timeout=50"), 0);
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(sim.BeginCapture(handle, 1, &fir, 15000, nullptr).plan.waitMs, 1200u);
}

TEST_F(SimTest, CaptureEndsWithAnErrorWhenTheInstanceWentAwayMeanwhile) {
    NBioAPI_FIR_HANDLE fir = 0;
    const CaptureStart start = sim.BeginCapture(handle, 1, &fir, 15000, nullptr);
    sim.Reset(nullptr);
    EXPECT_EQ(sim.FinishCapture(handle, start.plan, &fir, nullptr),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(fir, 0u);
    EXPECT_EQ(sim.Counters().firHandles, 0);
}

TEST_F(SimTest, VerifyMatchesTheLiveFingerAgainstTheStoredOne) {
    ASSERT_EQ(sim.Configure("finger=5,5,6"), 0);
    NBioAPI_FIR_HANDLE stored = CaptureOk();
    NBioAPI_INPUT_FIR input = ByHandle(&stored);
    NBioAPI_BOOL result = -1;
    ASSERT_EQ(Verify(input, &result), 0u);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(Verify(input, &result), 0u);
    EXPECT_EQ(result, 0);
    sim.FreeFIRHandle(handle, stored);
    ExpectNothingLeft();
}

TEST_F(SimTest, VerifyOfAStoredTextRemembersTheText) {
    const NBioAPI_FIR_HANDLE fir = CaptureOk();
    std::string text = TextOf(fir);
    NBioAPI_FIR_TEXTENCODE record{0, text.data()};
    NBioAPI_BOOL result = 0;
    ASSERT_EQ(Verify(ByText(&record), &result), 0u);
    EXPECT_EQ(result, 1);
    char out[2048];
    EXPECT_EQ(sim.LastInputText(0, out, sizeof out), static_cast<int32_t>(text.size() + 1));
    EXPECT_EQ(out, text);
    sim.FreeFIRHandle(handle, fir);
}

TEST_F(SimTest, VerifyScriptedErrorsWinOverEverything) {
    ASSERT_EQ(sim.Configure("verify=12,1,2,0;capture=515"), 0);
    NBioAPI_FIR_HANDLE missing = 12345;
    const NBioAPI_INPUT_FIR input = ByHandle(&missing);
    NBioAPI_BOOL result = 1;
    EXPECT_EQ(Verify(input, &result), 12u);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Verify(input, &result), 1u);
    EXPECT_EQ(Verify(input, &result), 2u);
    EXPECT_EQ(Verify(input, &result), 515u) << "then the capture's failure";
    ASSERT_EQ(sim.Configure("capture=0"), 0);
    EXPECT_EQ(Verify(input, &result), static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE))
        << "then the stored record's fault";
}

TEST_F(SimTest, VerifyOfAnUnreadableTextCannotBeDecrypted) {
    char garbage[] = "not a FIR";
    NBioAPI_FIR_TEXTENCODE record{0, garbage};
    NBioAPI_BOOL result = 1;
    EXPECT_EQ(Verify(ByText(&record), &result), static_cast<NBioAPI_RETURN>(NBioAPIERROR_DATA_CANNOT_BE_DECRYPTED));
    EXPECT_EQ(result, 0);
}

TEST_F(SimTest, VerifyChecksItsArguments) {
    NBioAPI_FIR_HANDLE fir = 0;
    const NBioAPI_INPUT_FIR input = ByHandle(&fir);
    NBioAPI_BOOL result = 0;
    EXPECT_EQ(sim.BeginVerify(handle + 1, &input, &result, -1, nullptr).capture.error,
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE));
    EXPECT_EQ(sim.BeginVerify(handle, nullptr, &result, -1, nullptr).capture.error,
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    EXPECT_EQ(sim.BeginVerify(handle, &input, nullptr, -1, nullptr).capture.error,
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_POINTER));
    sim.CloseDevice(handle, NBioAPI_DEVICE_ID_AUTO);
    EXPECT_EQ(sim.BeginVerify(handle, &input, &result, -1, nullptr).capture.error,
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_NOT_OPENED));
}

TEST_F(SimTest, CallsAreCountedByFunctionName) {
    NBioAPI_FIR_HANDLE fir = CaptureOk();
    Capture(&fir);
    sim.FreeFIRHandle(handle, 0);
    EXPECT_EQ(sim.CallCount("NBioAPI_Init"), 1);
    EXPECT_EQ(sim.CallCount("NBioAPI_OpenDevice"), 1);
    EXPECT_EQ(sim.CallCount("NBioAPI_Capture"), 2);
    EXPECT_EQ(sim.CallCount("NBioAPI_FreeFIRHandle"), 1);
    EXPECT_EQ(sim.CallCount("NBioAPI_Verify"), 0);
    EXPECT_EQ(sim.CallCount("Capture"), 0);
    EXPECT_EQ(sim.CallCount(nullptr), 0);
}

TEST_F(SimTest, ResetForgetsEverythingAndAppliesTheEnvironmentScript) {
    ASSERT_EQ(sim.Configure("capture=0,2"), 0);
    CaptureOk();
    sim.Reset("finger=9;delay=20");
    const NBioSimCounters c = sim.Counters();
    EXPECT_EQ(c.instances + c.devices + c.firHandles + c.textFirs + c.exports, 0);
    EXPECT_EQ(sim.CallCount("NBioAPI_Capture"), 0);
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(sim.BeginCapture(handle, 1, &fir, 15000, nullptr).error, static_cast<NBioAPI_RETURN>(NBioAPIERROR_INVALID_HANDLE))
        << "handles from before a reset stay invalid";
    NBioAPI_HANDLE fresh = 0;
    ASSERT_EQ(sim.Init(&fresh), 0u);
    ASSERT_NE(fresh, handle);
    ASSERT_EQ(sim.OpenDevice(fresh, NBioAPI_DEVICE_ID_AUTO), 0u);
    const CaptureStart start = sim.BeginCapture(fresh, 1, &fir, 15000, nullptr);
    EXPECT_EQ(start.plan.result, 0u);
    EXPECT_EQ(start.plan.finger, 9);
    EXPECT_EQ(start.plan.waitMs, 20u);
}

// The bridge's worker captures while the test thread scripts and inspects.
TEST(Control, CallsFromSeveralThreadsAllCount) {
    Simulator sim(nullptr);
    constexpr int kRounds = 200;
    auto session = [&] {
        NBioAPI_HANDLE h = 0;
        ASSERT_EQ(sim.Init(&h), 0u);
        ASSERT_EQ(sim.OpenDevice(h, NBioAPI_DEVICE_ID_AUTO), 0u);
        for (int i = 0; i < kRounds; ++i) {
            NBioAPI_FIR_HANDLE fir = 0;
            const CaptureStart start = sim.BeginCapture(h, 1, &fir, 15000, nullptr);
            ASSERT_EQ(sim.FinishCapture(h, start.plan, &fir, nullptr), 0u);
            NBioAPI_FIR_TEXTENCODE text{};
            ASSERT_EQ(sim.GetExtendedTextFIRFromHandle(h, fir, &text, 0, 1), 0u);
            ASSERT_EQ(sim.FreeTextFIR(h, &text), 0u);
            ASSERT_EQ(sim.FreeFIRHandle(h, fir), 0u);
        }
        sim.CloseDevice(h, NBioAPI_DEVICE_ID_AUTO);
        sim.Terminate(h);
    };
    std::vector<std::thread> threads;
    threads.emplace_back(session);
    threads.emplace_back(session);
    threads.emplace_back([&] {
        for (int i = 0; i < kRounds; ++i) {
            sim.Configure(i % 2 ? "finger=2" : "finger=3");
            sim.Counters();
            sim.CallCount("NBioAPI_Capture");
        }
    });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(sim.CallCount("NBioAPI_Capture"), 2 * kRounds);
    EXPECT_EQ(sim.CallCount("NBioAPI_FreeTextFIR"), 2 * kRounds);
    const NBioSimCounters c = sim.Counters();
    EXPECT_EQ(c.instances + c.devices + c.firHandles + c.textFirs + c.exports, 0);
}

TEST(Control, MalformedEnvironmentScriptRefusesToStart) {
    Simulator sim("finger=42");
    NBioAPI_HANDLE h = 0;
    EXPECT_EQ(sim.Init(&h), static_cast<NBioAPI_RETURN>(NBioAPIERROR_DEVICE_OPEN_FAIL));
    EXPECT_EQ(h, 0u);
    sim.Reset("finger=4");
    EXPECT_EQ(sim.Init(&h), 0u) << "a sound script starts it again";
}

TEST(Control, LastInputTextIsEmptyUntilSomethingArrivesAndIsCutToTheBuffer) {
    Simulator sim(nullptr);
    char out[8] = "xxxxxxx";
    EXPECT_EQ(sim.LastInputText(0, out, sizeof out), 0);
    EXPECT_EQ(sim.LastInputText(3, out, sizeof out), 0);
    EXPECT_EQ(sim.LastInputText(-1, out, sizeof out), 0);

    NBioAPI_HANDLE h = 0;
    ASSERT_EQ(sim.Init(&h), 0u);
    char text[] = "0123456789";
    NBioAPI_FIR_TEXTENCODE record{0, text};
    NBioAPI_INPUT_FIR input{};
    input.Form = NBioAPI_FIR_FORM_TEXTENCODE;
    input.InputFIR.TextFIR = &record;
    NBioAPI_BOOL result = 0;
    sim.VerifyMatch(h, &input, &input, &result, nullptr);
    EXPECT_EQ(sim.LastInputText(1, out, sizeof out), 8);
    EXPECT_STREQ(out, "0123456");
    EXPECT_EQ(sim.LastInputText(2, out, 0), 0);
    EXPECT_EQ(sim.LastInputText(2, nullptr, 8), 0);
}

}  // namespace
}  // namespace nbiosim

namespace nbiosim {
namespace {

// Separate runs (processes) start counting readings afresh; their session
// number keeps the captures of one finger apart while they still match.
TEST(Sessions, RunsWithDifferentSessionsReadDifferentBytesOfOneFinger) {
    std::string texts[2];
    for (int run = 0; run < 2; ++run) {
        Simulator sim{nullptr};
        NBioAPI_HANDLE handle = 0;
        ASSERT_EQ(sim.Init(&handle), 0u);
        ASSERT_EQ(sim.OpenDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
        ASSERT_EQ(sim.Configure(run == 0 ? "session=1" : "session=2"), 0);
        NBioAPI_FIR_HANDLE fir = 0;
        const CaptureStart start = sim.BeginCapture(handle, 1, &fir, 15000, nullptr);
        ASSERT_EQ(sim.FinishCapture(handle, start.plan, &fir, nullptr), 0u);
        NBioAPI_FIR_TEXTENCODE text{};
        ASSERT_EQ(sim.GetExtendedTextFIRFromHandle(handle, fir, &text, 0, NBioAPI_TEXTFIR_FORMAT_EXTENDED), 0u);
        texts[run] = text.TextFIR;
        sim.FreeTextFIR(handle, &text);
        sim.FreeFIRHandle(handle, fir);
    }
    EXPECT_NE(texts[0], texts[1]);

    Simulator sim{nullptr};
    NBioAPI_HANDLE handle = 0;
    ASSERT_EQ(sim.Init(&handle), 0u);
    NBioAPI_FIR_TEXTENCODE first{0, texts[0].data()}, second{0, texts[1].data()};
    NBioAPI_INPUT_FIR a{}, b{};
    a.Form = b.Form = NBioAPI_FIR_FORM_TEXTENCODE;
    a.InputFIR.TextFIR = &first;
    b.InputFIR.TextFIR = &second;
    NBioAPI_BOOL matched = 0;
    NBioAPI_FIR_PAYLOAD payload{};
    ASSERT_EQ(sim.VerifyMatch(handle, &a, &b, &matched, &payload), 0u);
    EXPECT_EQ(matched, 1);
}

}  // namespace
}  // namespace nbiosim
