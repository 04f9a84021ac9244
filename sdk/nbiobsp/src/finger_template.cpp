#include "finger_template.h"

#include <algorithm>
#include <cstdlib>

#include "simsdk/random.h"

namespace nbiosim {
namespace {

using simsdk::SplitMix;

// Noise of one reading: small shifts, and a few minutiae the reader misses and
// replaces with spurious ones.
constexpr int kPositionNoise = 2;
constexpr int kAngleNoise = 3;
constexpr int kSpuriousPerCapture = 4;

// Matching tolerances: wider than the noise above, far narrower than the
// spacing of unrelated minutiae, so chance pairs between different fingers
// stay rare (about one in sixty-four).
constexpr int kPositionTolerance = 5;
constexpr int kAngleTolerance = 12;
constexpr int kMatchPercent = 60;

uint64_t FingerSeed(uint8_t finger) {
    return 0xF1A6E2C0DE000000ull + finger * 0x1F3D5B79ull;
}

Minutia RandomMinutia(SplitMix& random) {
    Minutia m;
    m.x = static_cast<uint16_t>(random.Below(kSensorWidth));
    m.y = static_cast<uint16_t>(random.Below(kSensorHeight));
    m.angle = static_cast<uint8_t>(random.Below(256));
    m.type = static_cast<uint8_t>(random.Below(2));
    return m;
}

uint16_t Jitter(uint16_t value, int limit, SplitMix& random) {
    const int moved = static_cast<int>(value) + random.Between(-kPositionNoise, kPositionNoise);
    return static_cast<uint16_t>(std::clamp(moved, 0, limit - 1));
}

bool Close(const Minutia& a, const Minutia& b) {
    const int angleGap = std::abs(static_cast<int>(a.angle) - static_cast<int>(b.angle));
    return std::abs(a.x - b.x) <= kPositionTolerance && std::abs(a.y - b.y) <= kPositionTolerance &&
           std::min(angleGap, 256 - angleGap) <= kAngleTolerance;
}

}  // namespace

bool IsValidFinger(uint32_t finger) {
    return finger >= kFirstFinger && finger <= kLastFinger;
}

FingerTemplate CaptureTemplate(uint8_t finger, uint32_t nonce) {
    FingerTemplate result;
    result.finger = finger;
    result.nonce = nonce;

    SplitMix fingerRandom(FingerSeed(finger));
    result.minutiae.reserve(kMinutiaePerTemplate);
    for (int i = 0; i < kMinutiaePerTemplate; ++i) result.minutiae.push_back(RandomMinutia(fingerRandom));

    SplitMix readingRandom(FingerSeed(finger) ^ (static_cast<uint64_t>(nonce) << 20) ^ nonce);
    for (Minutia& m : result.minutiae) {
        m.x = Jitter(m.x, kSensorWidth, readingRandom);
        m.y = Jitter(m.y, kSensorHeight, readingRandom);
        m.angle = static_cast<uint8_t>(m.angle + readingRandom.Between(-kAngleNoise, kAngleNoise));
    }
    for (int i = 0; i < kSpuriousPerCapture; ++i) {
        result.minutiae[readingRandom.Below(kMinutiaePerTemplate)] = RandomMinutia(readingRandom);
    }
    return result;
}

bool SameFinger(const FingerTemplate& first, const FingerTemplate& second) {
    const FingerTemplate& fewer = first.minutiae.size() <= second.minutiae.size() ? first : second;
    const FingerTemplate& more = &fewer == &first ? second : first;
    if (fewer.minutiae.empty()) return false;

    size_t paired = 0;
    for (const Minutia& m : fewer.minutiae) {
        const bool found =
            std::any_of(more.minutiae.begin(), more.minutiae.end(), [&](const Minutia& n) { return Close(m, n); });
        if (found) ++paired;
    }
    return paired * 100 >= fewer.minutiae.size() * kMatchPercent;
}

}  // namespace nbiosim
