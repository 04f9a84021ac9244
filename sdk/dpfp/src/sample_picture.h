// The pictures of a sample: the device-independent bitmap of
// DPFPConvertSampleToBitmap and the scaled grey image of FX_getDisplayImage.
// Plain bytes, laid out as Windows reads them, so no Windows header is needed.
#pragma once

#include <cstdint>

#include "simsdk/fingerprint_image.h"

namespace dpfpsim {

// Bytes of the bitmap of `image`: a 40-byte BITMAPINFOHEADER, a 256-entry grey
// palette and bottom-up rows padded to four bytes.
uint32_t BitmapSize(const simsdk::GreyImage& image);
// Writes BitmapSize(image) bytes.
void WriteBitmap(const simsdk::GreyImage& image, uint8_t* out);

// Display sizes the module draws; larger ones are a caller's mistake.
constexpr int32_t kMaxDisplaySide = 4096;
bool FitsDisplaySize(int32_t width, int32_t height);
// Writes width * height bytes, top row first: `image` stretched to that size.
void WriteDisplayImage(const simsdk::GreyImage& image, int32_t width, int32_t height, uint8_t* out);

}  // namespace dpfpsim
