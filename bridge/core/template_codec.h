// The template text codec: template bytes <-> zlib stream <-> Base64 text.
//
// Compression and decompression go through two process-wide work buffers of
// kCodecBufferSize bytes, made when the library is loaded. They are not guarded:
// the bridges run one operation at a time and the codec relies on that.
#pragma once

#include <cstdint>

constexpr int32_t kCodecBufferSize = 5120;

// Allocates (zeroed) and releases the two work buffers. Without them every
// pack and unpack fails.
bool CodecAllocateBuffers();
void CodecReleaseBuffers();

// Compresses `in` at level 9 into one zlib stream, copies it to `out` and sets
// `*packedLen`. `out` must have room for kCodecBufferSize bytes. zlib failures
// show an "Alert" warning box. Returns false when no complete stream was made
// (a stream longer than the work buffer included), so that no caller hands out a
// text that cannot be unpacked.
bool FK_Pack(const unsigned char* in, int32_t inLen, unsigned char* out, int32_t* packedLen);

// Base64 of `len` bytes as a new NUL-terminated text (calloc; the caller frees it),
// or nullptr when memory runs out or `len` is negative.
char* Encode64(const unsigned char* in, int32_t len);

// Bytes that Decode64 may write for `textLength` characters, NUL included:
// ceil(n / 4) * 3 + 1. Size every output buffer with it: damaged texts decode to
// more bytes than their length.
int32_t Decode64Capacity(int32_t textLength);

// Decodes `*len` characters of `text` into `out` and sets `*len` to the number of
// bytes produced (a NUL follows them). Foreign characters decode as index 255,
// without error. An absent text or buffer sets `*len` to 0.
void Decode64(const char* text, unsigned char* out, int32_t* len);

// Inflates `packedLen` bytes into the unpack work buffer and, when the stream
// produced exactly `*expectedLen` bytes, copies them to `out`. A stream that
// produces nothing copies nothing and reports the zlib end result. A checksum
// mismatch alone is no failure. Negative lengths and expected lengths above
// kCodecBufferSize fail without touching `out`.
bool FK_Unpack(const unsigned char* packed, int32_t packedLen, unsigned char* out, const int32_t* expectedLen);
