// The picture a simulated reader shows of a finger: an 8-bit grey image
// (0 black .. 255 white), rows top to bottom, ridges dark. Both readers draw
// the same print for the same finger.
#pragma once

#include <cstdint>
#include <vector>

namespace simsdk {

// The reader's picture size; the width is a multiple of four so that the rows
// need no padding as device-independent bitmap scan lines.
constexpr int kImageWidth = 240;
constexpr int kImageHeight = 360;
static_assert(kImageWidth % 4 == 0, "DIB scan lines are DWORD aligned");

struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height
};

// The picture of `finger` (1..10) when the finger has settled to `progress`
// (0: just touching, nothing visible yet; 1: the full print). Each finger has
// its own ridge pattern.
GreyImage RenderFingerprint(uint8_t finger, double progress);

}  // namespace simsdk
