// DPFPTerm (and DPFPSim_Reset, which ends acquisitions the same way) before a
// real window's message queue: the acquisition thread is joined even in the
// middle of a long delay, and once the call has returned no event arrives.
#include <gtest/gtest.h>
#include <windows.h>


#include "DPFPApi.h"
#include "DPFPSim.h"
#include "unique_handles_win32.h"

namespace {

constexpr UINT kEventMessage = 2024;

using win32::UniqueWindow;

class TermTest : public ::testing::TestWithParam<void (*)()> {
protected:
    void SetUp() override {
        DPFPSim_Reset();
        window.reset(CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        ASSERT_TRUE(window) << GetLastError();
        ASSERT_EQ(DPFPInit(), 0);
    }
    void TearDown() override { DPFPSim_Reset(); }

    void Start(const char* events) {
        ASSERT_EQ(DPFPSim_Configure(events), 0);
        const DPFP_READER_ID any{};
        DPFP_ACQUISITION acquisition = 0;
        ASSERT_EQ(DPFPCreateAcquisition(DPFP_PRIORITY_STANDARD, &any, DPFP_DATA_TYPE_SAMPLE, window.get(),
                                        kEventMessage, &acquisition),
                  0);
        ASSERT_EQ(DPFPStartAcquisition(acquisition), 0);
    }

    // The next event within `timeoutMs`, or false.
    bool NextEvent(MSG& msg, DWORD timeoutMs) {
        while (!PeekMessageA(&msg, window.get(), kEventMessage, kEventMessage, PM_REMOVE)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_POSTMESSAGE) == WAIT_TIMEOUT) return false;
        }
        return true;
    }

    int DrainEvents() {
        MSG msg;
        int count = 0;
        while (PeekMessageA(&msg, window.get(), kEventMessage, kEventMessage, PM_REMOVE)) ++count;
        return count;
    }

    void ExpectNothingLeft() {
        DPFPSimCounters c{};
        DPFPSim_GetCounters(&c);
        EXPECT_EQ(c.acquisitions, 0);
        EXPECT_EQ(c.runningThreads, 0);
        EXPECT_EQ(c.blocks, 0);
    }

    UniqueWindow window;
};

TEST_P(TermTest, EndsAnAcquisitionInTheMiddleOfALongDelay) {
    Start("events=touch@0,sample@0,gone@600000");
    MSG msg;
    ASSERT_TRUE(NextEvent(msg, 10000));
    EXPECT_EQ(msg.wParam, WPARAM{DPFP_EVENT_FINGER_TOUCHED});
    ASSERT_TRUE(NextEvent(msg, 10000));
    EXPECT_EQ(msg.wParam, WPARAM{DPFP_EVENT_SAMPLE});

    // Were the thread left to sleep out its delay, this would take ten minutes
    // and the run's time limit would fail the test.
    GetParam()();
    ExpectNothingLeft();
    EXPECT_EQ(DrainEvents(), 0);
}

TEST_P(TermTest, NoEventArrivesOnceItHasReturned) {
    Start("events=touch@1,gone@1");
    MSG msg;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(NextEvent(msg, 10000));

    GetParam()();
    ExpectNothingLeft();
    DrainEvents();  // posted before the call returned
    EXPECT_FALSE(NextEvent(msg, 200)) << "an event of kind " << msg.wParam << " came after the acquisition ended";
}

INSTANTIATE_TEST_SUITE_P(EndedBy, TermTest, ::testing::Values(&DPFPTerm, &DPFPSim_Reset),
                         [](const ::testing::TestParamInfo<void (*)()>& param) {
                             return param.param == &DPFPTerm ? "DPFPTerm" : "DPFPSim_Reset";
                         });

}  // namespace
