#include "sample_picture.h"

#include <cstring>

namespace dpfpsim {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kPixelsOffset = kInfoHeaderSize + kPaletteEntries * 4;
constexpr int32_t kPixelsPerMetre = 19685;  // 500 dots per inch, a reader's usual resolution

uint32_t RowBytes(const simsdk::GreyImage& image) {
    return (static_cast<uint32_t>(image.width) + 3u) & ~3u;
}

void Put16(uint8_t*& out, uint16_t value) {
    *out++ = static_cast<uint8_t>(value);
    *out++ = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t*& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) *out++ = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

uint32_t BitmapSize(const simsdk::GreyImage& image) {
    return kPixelsOffset + RowBytes(image) * static_cast<uint32_t>(image.height);
}

void WriteBitmap(const simsdk::GreyImage& image, uint8_t* out) {
    const uint32_t rowBytes = RowBytes(image);
    uint8_t* at = out;
    Put32(at, kInfoHeaderSize);
    Put32(at, static_cast<uint32_t>(image.width));
    Put32(at, static_cast<uint32_t>(image.height));  // positive: bottom-up rows
    Put16(at, 1);                                    // planes
    Put16(at, 8);                                    // bits per pixel
    Put32(at, 0);                                    // BI_RGB
    Put32(at, rowBytes * static_cast<uint32_t>(image.height));
    Put32(at, kPixelsPerMetre);
    Put32(at, kPixelsPerMetre);
    Put32(at, kPaletteEntries);  // biClrUsed
    Put32(at, 0);                // biClrImportant: all
    for (uint32_t level = 0; level < kPaletteEntries; ++level) {
        const uint8_t grey = static_cast<uint8_t>(level);
        *at++ = grey;  // blue, green, red, reserved
        *at++ = grey;
        *at++ = grey;
        *at++ = 0;
    }
    for (int row = 0; row < image.height; ++row) {
        uint8_t* line = out + kPixelsOffset + static_cast<size_t>(image.height - 1 - row) * rowBytes;
        std::memcpy(line, &image.pixels[static_cast<size_t>(row) * image.width], static_cast<size_t>(image.width));
        std::memset(line + image.width, 0, rowBytes - static_cast<uint32_t>(image.width));
    }
}

bool FitsDisplaySize(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= kMaxDisplaySide && height <= kMaxDisplaySide;
}

void WriteDisplayImage(const simsdk::GreyImage& image, int32_t width, int32_t height, uint8_t* out) {
    for (int32_t y = 0; y < height; ++y) {
        const size_t sourceRow = static_cast<size_t>(static_cast<int64_t>(y) * image.height / height);
        const uint8_t* source = &image.pixels[sourceRow * static_cast<size_t>(image.width)];
        for (int32_t x = 0; x < width; ++x) {
            *out++ = source[static_cast<int64_t>(x) * image.width / width];
        }
    }
}

}  // namespace dpfpsim
