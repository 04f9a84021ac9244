// The live picture in a real window: a pane like the bridge's, owned by this
// thread while another thread captures into it, as in the bridge.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <thread>

#include "NBioAPI.h"
#include "NBioSim.h"
#include "unique_handles_win32.h"

namespace {

using win32::UniqueWindow;

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        NBioSim_Reset();
        pane.reset(CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 320, 480, nullptr, nullptr,
                                   nullptr, nullptr));
        ASSERT_TRUE(pane) << GetLastError();
        ASSERT_EQ(NBioAPI_Init(&handle), 0u);
        ASSERT_EQ(NBioAPI_OpenDevice(handle, NBioAPI_DEVICE_ID_AUTO), 0u);
        Paint(RGB(255, 0, 0));
    }
    void TearDown() override {
        NBioAPI_CloseDevice(handle, NBioAPI_DEVICE_ID_AUTO);
        NBioAPI_Terminate(handle);
        NBioSim_Reset();
    }

    // Fills the pane with one colour the reader never draws (it draws grey).
    void Paint(COLORREF colour) {
        HDC dc = GetDC(pane.get());
        ASSERT_NE(dc, nullptr);
        RECT all{0, 0, 320, 480};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(pane.get(), dc);
    }

    // Grey levels seen on a grid over the pane; a red sample counts as -1.
    std::multiset<int> Samples() {
        std::multiset<int> levels;
        HDC dc = GetDC(pane.get());
        for (int y = 8; y < 480; y += 16) {
            for (int x = 4; x < 320; x += 8) {
                const COLORREF c = GetPixel(dc, x, y);
                const bool grey = GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
                levels.insert(grey ? GetRValue(c) : -1);
            }
        }
        ReleaseDC(pane.get(), dc);
        return levels;
    }

    // Runs `call` on a worker thread, as the bridge does. This thread does not
    // pump messages meanwhile: a capture that sent the pane a message would
    // never finish.
    template <typename Call>
    NBioAPI_RETURN OnWorker(Call call) {
        NBioAPI_RETURN result = 0xFFFFFFFF;
        std::thread worker([&] { result = call(); });
        worker.join();
        return result;
    }

    NBioAPI_WINDOW_OPTION Option() {
        NBioAPI_WINDOW_OPTION option{};
        option.WindowStyle = NBioAPI_WINDOW_STYLE_INVISIBLE;
        option.FingerWnd = pane.get();
        return option;
    }

    UniqueWindow pane;
    NBioAPI_HANDLE handle = 0;
};

TEST_F(DrawingTest, CaptureDrawsAGreyFingerprintOverThePane) {
    ASSERT_EQ(NBioSim_Configure("delay=250"), 0);
    const NBioAPI_WINDOW_OPTION option = Option();
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(OnWorker([&] { return NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option); }), 0u);
    const std::multiset<int> levels = Samples();
    EXPECT_EQ(levels.count(-1), 0u) << "every sample is grey, none still red";
    EXPECT_GT(std::distance(levels.begin(), levels.lower_bound(100)), 100) << "dark ridges";
    EXPECT_GT(std::distance(levels.lower_bound(200), levels.end()), 100) << "light valleys and surroundings";
    NBioAPI_FreeFIRHandle(handle, fir);
}

TEST_F(DrawingTest, VerifyDrawsToo) {
    const NBioAPI_WINDOW_OPTION option = Option();
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, nullptr), 0u);
    Paint(RGB(255, 0, 0));
    NBioAPI_INPUT_FIR stored{};
    stored.Form = NBioAPI_FIR_FORM_HANDLE;
    stored.InputFIR.FIRinBSP = &fir;
    NBioAPI_BOOL result = 0;
    NBioAPI_FIR_PAYLOAD payload{};
    ASSERT_EQ(OnWorker([&] { return NBioAPI_Verify(handle, &stored, &result, &payload, -1, nullptr, &option); }), 0u);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Samples().count(-1), 0u);
    NBioAPI_FreeFIRHandle(handle, fir);
}

TEST_F(DrawingTest, DifferentFingersLookDifferent) {
    ASSERT_EQ(NBioSim_Configure("finger=3,4"), 0);
    const NBioAPI_WINDOW_OPTION option = Option();
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option), 0u);
    NBioAPI_FreeFIRHandle(handle, fir);
    const std::multiset<int> three = Samples();
    ASSERT_EQ(NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option), 0u);
    NBioAPI_FreeFIRHandle(handle, fir);
    EXPECT_NE(Samples(), three);
}

TEST_F(DrawingTest, BlockedCaptureDrawsNothing) {
    ASSERT_EQ(NBioSim_Configure("block=1;timeout=20"), 0);
    const NBioAPI_WINDOW_OPTION option = Option();
    NBioAPI_FIR_HANDLE fir = 0;
    EXPECT_EQ(OnWorker([&] { return NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option); }),
              static_cast<NBioAPI_RETURN>(NBioAPIERROR_CAPTURE_TIMEOUT));
    EXPECT_EQ(Samples().count(-1), Samples().size());
}

TEST_F(DrawingTest, NoWindowOrAStaleOneIsSkipped) {
    NBioAPI_WINDOW_OPTION option{};
    NBioAPI_FIR_HANDLE fir = 0;
    ASSERT_EQ(NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option), 0u);
    NBioAPI_FreeFIRHandle(handle, fir);

    HWND gone = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    option.FingerWnd = gone;
    ASSERT_EQ(NBioAPI_Capture(handle, 1, &fir, 15000, nullptr, &option), 0u);
    NBioAPI_FreeFIRHandle(handle, fir);
    EXPECT_EQ(Samples().count(-1), Samples().size()) << "the pane was not given, so it stays red";
}

}  // namespace
