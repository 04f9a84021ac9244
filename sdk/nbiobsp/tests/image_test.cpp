// The live picture and the timing of its frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "capture_plan.h"
#include "simsdk/fingerprint_image.h"

namespace nbiosim {
namespace {

using simsdk::GreyImage;
using simsdk::kImageHeight;
using simsdk::kImageWidth;
using simsdk::RenderFingerprint;

size_t DarkPixels(const GreyImage& image) {
    return static_cast<size_t>(
        std::count_if(image.pixels.begin(), image.pixels.end(), [](uint8_t p) { return p < 96; }));
}

size_t DifferingPixels(const GreyImage& a, const GreyImage& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        n += (a.pixels[i] > b.pixels[i] + 40 || b.pixels[i] > a.pixels[i] + 40);
    return n;
}

TEST(FingerprintImage, FullPrintHasRidgesAndLightSurroundings) {
    const GreyImage image = RenderFingerprint(1, 1.0);
    ASSERT_EQ(image.pixels.size(), static_cast<size_t>(kImageWidth) * kImageHeight);
    const size_t total = image.pixels.size();
    EXPECT_GT(DarkPixels(image), total / 6);
    EXPECT_LT(DarkPixels(image), total * 2 / 3);
    EXPECT_GT(image.pixels.front(), 200) << "the corners lie outside the finger";
    EXPECT_GT(image.pixels.back(), 200);
}

TEST(FingerprintImage, NothingShowsBeforeTheFingerSettles) {
    EXPECT_EQ(DarkPixels(RenderFingerprint(2, 0.0)), 0u);
    EXPECT_LT(DarkPixels(RenderFingerprint(2, 0.3)), DarkPixels(RenderFingerprint(2, 1.0)));
}

TEST(FingerprintImage, EachFingerHasItsOwnPattern) {
    for (uint8_t f = 1; f <= 10; ++f) {
        for (uint8_t g = static_cast<uint8_t>(f + 1); g <= 10; ++g) {
            EXPECT_GT(DifferingPixels(RenderFingerprint(f, 1.0), RenderFingerprint(g, 1.0)), 5000u)
                << int(f) << " vs " << int(g);
        }
    }
}

TEST(FingerprintImage, IsTheSameEveryTime) {
    EXPECT_EQ(RenderFingerprint(6, 0.7).pixels, RenderFingerprint(6, 0.7).pixels);
}

TEST(FrameSchedule, WithoutDelayOneFullFrame) {
    const auto frames = FrameSchedule(0);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].sleepBeforeMs, 0u);
    EXPECT_EQ(frames[0].progress, 1.0);
}

TEST(FrameSchedule, PausesAddUpToTheDelayAndEndOnTheFullPrint) {
    for (uint32_t delay : {50u, 99u, 100u, 250u, 1000u, 3333u, 60000u}) {
        const auto frames = FrameSchedule(delay);
        const uint64_t total = std::accumulate(frames.begin(), frames.end(), uint64_t{0},
                                               [](uint64_t sum, const Frame& f) { return sum + f.sleepBeforeMs; });
        EXPECT_EQ(total, delay);
        EXPECT_EQ(frames.back().progress, 1.0);
        EXPECT_LE(frames.size(), 151u);
        for (size_t i = 1; i < frames.size(); ++i) EXPECT_GE(frames[i].progress, frames[i - 1].progress);
    }
}

TEST(FrameSchedule, RidgesAppearOverSeveralFrames) {
    const auto frames = FrameSchedule(1000);
    EXPECT_EQ(frames.size(), 11u);
    EXPECT_EQ(frames.front().sleepBeforeMs, 0u);
    EXPECT_EQ(frames.front().progress, 0.0);
    const auto partial = std::count_if(frames.begin(), frames.end(),
                                       [](const Frame& f) { return f.progress > 0.0 && f.progress < 1.0; });
    EXPECT_GE(partial, 3);
}

}  // namespace
}  // namespace nbiosim
