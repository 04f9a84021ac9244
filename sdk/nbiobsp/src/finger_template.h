// The simulated reader's fingerprint template: pseudo-minutiae of one finger.
//
// Every finger (1..10) has a fixed set of minutiae. A capture reads that set
// with a little positional noise and a few spurious points, chosen by the
// capture's nonce, so two captures of one finger differ in their bytes but
// still match, and captures of different fingers never do.
#pragma once

#include <cstdint>
#include <vector>

namespace nbiosim {

constexpr uint8_t kFirstFinger = 1;
constexpr uint8_t kLastFinger = 10;
constexpr int kMinutiaePerTemplate = 64;
// Minutiae coordinates lie in this area (reader pixels).
constexpr int kSensorWidth = 256;
constexpr int kSensorHeight = 360;

struct Minutia {
    uint16_t x = 0;
    uint16_t y = 0;
    uint8_t angle = 0;  // 256 steps per full turn
    uint8_t type = 0;   // 0 ridge ending, 1 bifurcation
};

struct FingerTemplate {
    uint8_t finger = 0;
    uint32_t nonce = 0;
    std::vector<Minutia> minutiae;
};

bool IsValidFinger(uint32_t finger);

// The template one capture of `finger` gives; `nonce` tells captures apart.
FingerTemplate CaptureTemplate(uint8_t finger, uint32_t nonce);

// True when enough minutiae of the smaller template have a close counterpart
// in the other one.
bool SameFinger(const FingerTemplate& first, const FingerTemplate& second);

}  // namespace nbiosim
