// The image painter shows an 8-bit grey image as it is: every byte its own
// grey, rows in order, whatever the row width.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "capture_window.h"

namespace {

TEST(ImagePainter, ShowsEachByteAsItsGrey) {
    HWND pane = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(pane, nullptr);
    // An odd width, so that unpadded rows would shear the picture.
    constexpr int kWidth = 7, kHeight = 5;
    std::vector<unsigned char> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = static_cast<unsigned char>(y * 50 + x * 3);
    }
    DrawImage(pane, kWidth, kHeight, pixels.data());

    HDC dc = GetDC(pane);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const unsigned grey = pixels[y * kWidth + x];
            EXPECT_EQ(GetPixel(dc, x, y), RGB(grey, grey, grey)) << x << "," << y;
        }
    }
    ReleaseDC(pane, dc);
    DestroyWindow(pane);
}

TEST(ImagePainter, IgnoresWhatItCannotShow) {
    const unsigned char pixel = 0;
    DrawImage(nullptr, 1, 1, &pixel);
    DrawImage(GetDesktopWindow(), 0, 1, &pixel);
    DrawImage(GetDesktopWindow(), 1, 1, nullptr);
}

}  // namespace
