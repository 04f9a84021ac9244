#include "simsdk/fingerprint_image.h"

#include <algorithm>
#include <cmath>

#include "simsdk/random.h"

namespace simsdk {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint8_t kBackground = 245;

// What makes one finger's print its own: where the core sits, how far apart
// the ridges are, how strongly they spiral (whorl) or only bend (loop), and
// how elongated the pattern is.
struct RidgePattern {
    double coreX;
    double coreY;
    double period;
    double spiral;
    double stretch;
    double tilt;
    double waveAmplitude;
    double waveLength;
};

RidgePattern PatternOf(uint8_t finger) {
    SplitMix random(0x5EED0F1A6E000000ull + finger * 0x9E3779B1ull);
    RidgePattern p;
    p.coreX = kImageWidth * (0.38 + 0.24 * random.Unit());
    p.coreY = kImageHeight * (0.34 + 0.22 * random.Unit());
    p.period = 7.0 + 4.0 * random.Unit();
    // Whole turns only: a fractional factor leaves a seam where atan2 wraps.
    p.spiral = random.Between(-1, 1);
    p.stretch = 0.65 + 0.6 * random.Unit();
    p.tilt = (random.Unit() - 0.5) * 0.8;
    p.waveAmplitude = 1.5 + 3.0 * random.Unit();
    p.waveLength = 40.0 + 50.0 * random.Unit();
    return p;
}

// 1 inside the finger's contact area, fading to 0 over a few pixels at its
// edge. The area grows as the finger settles.
double Contact(double x, double y, double progress) {
    const double growth = 0.55 + 0.45 * progress;
    const double rx = kImageWidth * 0.46 * growth;
    const double ry = kImageHeight * 0.47 * growth;
    const double dx = (x - kImageWidth * 0.5) / rx;
    const double dy = (y - kImageHeight * 0.54) / ry;
    const double distance = std::sqrt(dx * dx + dy * dy);
    return std::clamp((1.0 - distance) * 12.0, 0.0, 1.0);
}

}  // namespace

GreyImage RenderFingerprint(uint8_t finger, double progress) {
    progress = std::clamp(progress, 0.0, 1.0);
    const RidgePattern p = PatternOf(finger);
    const double cosTilt = std::cos(p.tilt);
    const double sinTilt = std::sin(p.tilt);
    const double contrast = 210.0 * progress;

    GreyImage image;
    image.width = kImageWidth;
    image.height = kImageHeight;
    image.pixels.assign(static_cast<size_t>(kImageWidth) * kImageHeight, kBackground);
    if (contrast <= 0.0) return image;

    for (int row = 0; row < kImageHeight; ++row) {
        for (int col = 0; col < kImageWidth; ++col) {
            const double contact = Contact(col, row, progress);
            if (contact <= 0.0) continue;
            const double dx = col - p.coreX;
            const double dy = row - p.coreY;
            const double u = dx * cosTilt + dy * sinTilt;
            const double v = (dy * cosTilt - dx * sinTilt) * p.stretch;
            const double radius = std::sqrt(u * u + v * v);
            const double wave = p.waveAmplitude * std::sin(2.0 * kPi * (u + v) / p.waveLength);
            const double phase = 2.0 * kPi * (radius + wave) / p.period + p.spiral * std::atan2(v, u);
            const double ridge = 0.5 + 0.5 * std::cos(phase);
            const double grey = kBackground - contrast * contact * ridge;
            image.pixels[static_cast<size_t>(row) * kImageWidth + col] =
                static_cast<uint8_t>(std::clamp(grey, 0.0, 255.0));
        }
    }
    return image;
}

}  // namespace simsdk
