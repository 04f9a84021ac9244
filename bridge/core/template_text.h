// Packed template text: Base64 of a 16-byte header (four little-endian 32-bit
// numbers) followed by a zlib stream. Each bridge has its own header layout.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t kEnvelopeHeaderSize = 16;

enum class EnvelopeLayout {
    // packed size, unpacked size, 0, 0
    kNbio,
    // display image row width, image height, packed size, unpacked size
    kDpfp,
};

// Packs `len` template bytes into a new packed template text (calloc; the
// caller frees it). nullptr when the template is longer than 5120 bytes or does
// not pack into one complete stream of at most 5120 bytes, or when memory runs out.
char* PackTemplateText(const unsigned char* data, int32_t len, EnvelopeLayout layout, int32_t imageRowWidth = 0,
                       int32_t imageHeight = 0);

// A decoded envelope whose header has not been trusted yet.
struct DecodedEnvelope {
    std::vector<unsigned char> bytes;  // the decoded bytes, with room for a header even when shorter
    int32_t decodedLength = 0;         // bytes Decode64 produced
    int32_t packedSize = 0;            // from the header
    int32_t unpackedSize = 0;          // from the header

    // The header claims more decoded bytes than there are.
    bool claimsMoreThanDecoded() const { return packedSize > decodedLength - kEnvelopeHeaderSize; }
    // The decoded data go on past what the header claims.
    bool decodedMoreThanClaimed() const { return packedSize < decodedLength - kEnvelopeHeaderSize; }
    // Both sizes are positive and the template fits the unpack work buffer.
    bool sizesUsable() const;
    const unsigned char* stream() const { return bytes.data() + kEnvelopeHeaderSize; }
};

// Decodes `length` characters of a packed template text (fewer when its NUL
// comes first) and reads the header.
void DecodeEnvelope(const char* text, int32_t length, EnvelopeLayout layout, DecodedEnvelope* out);

// Unpacks a decoded envelope whose sizes have been checked into `out`
// (resized to the unpacked size). False when the stream does not unpack.
bool UnpackEnvelope(const DecodedEnvelope& envelope, std::vector<unsigned char>* out);

int32_t ReadLittleEndian32(const unsigned char* p);
void WriteLittleEndian32(unsigned char* p, int32_t value);
