// Packed template text: Base64 of an envelope, a 16-byte header of four
// little-endian 32-bit fields followed by a zlib stream of the template bytes.
// Each bridge lays the header out its own way; a layout is one row of
// kEnvelopeLayouts, and nothing else knows where a field lies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kEnvelopeHeaderSize = 16;

// What one of the header's four fields holds.
enum class HeaderField : uint8_t {
    kZero,          // written as 0, ignored when read
    kPackedSize,    // bytes of the zlib stream
    kUnpackedSize,  // bytes of the template
    kImageWidth,    // row length in bytes of the display image the template was taken with
    kImageHeight,   // its rows
};

struct EnvelopeLayout {
    const char* name;
    std::array<HeaderField, 4> fields;
};

// Every layout there is. Tests and fuzz targets go through all of them, so a
// new layout is one row here.
inline constexpr EnvelopeLayout kEnvelopeLayouts[] = {
    {"packed-first", {HeaderField::kPackedSize, HeaderField::kUnpackedSize, HeaderField::kZero, HeaderField::kZero}},
    {"image-first",
     {HeaderField::kImageWidth, HeaderField::kImageHeight, HeaderField::kPackedSize, HeaderField::kUnpackedSize}},
};
// A layout without both sizes, each in one field, could not be read back.
constexpr bool CarriesBothSizes(const EnvelopeLayout& layout) {
    int packed = 0, unpacked = 0;
    for (HeaderField field : layout.fields) {
        packed += field == HeaderField::kPackedSize;
        unpacked += field == HeaderField::kUnpackedSize;
    }
    return packed == 1 && unpacked == 1;
}
constexpr bool EveryLayoutCarriesBothSizes() {
    for (const EnvelopeLayout& layout : kEnvelopeLayouts) {
        if (!CarriesBothSizes(layout)) return false;
    }
    return true;
}
static_assert(EveryLayoutCarriesBothSizes(), "each layout has one field for each size");

// The NITGEN bridge's texts.
inline constexpr const EnvelopeLayout& kNbioEnvelope = kEnvelopeLayouts[0];
// The DigitalPersona bridge's texts, which also carry the display image's size.
inline constexpr const EnvelopeLayout& kDpfpEnvelope = kEnvelopeLayouts[1];

// The header by meaning. Fields a layout does not carry read as 0.
struct EnvelopeHeader {
    int32_t packedSize = 0;
    int32_t unpackedSize = 0;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;

    // From the first kEnvelopeHeaderSize bytes of `bytes`.
    static EnvelopeHeader Read(const EnvelopeLayout& layout, const unsigned char* bytes);
    // Into the first kEnvelopeHeaderSize bytes of `bytes`.
    void Write(const EnvelopeLayout& layout, unsigned char* bytes) const;
};

// A kind marker whose first character is 'N' marks native text, handed on as
// it is; any other marker, an absent one included, marks packed template text.
bool IsNativeKind(const char* kind);

// Packs `len` template bytes into a new packed template text (calloc; the
// caller frees it). nullptr when the template is longer than 5120 bytes or does
// not pack into one complete stream of at most 5120 bytes, or when memory runs out.
char* PackTemplateText(const unsigned char* data, int32_t len, const EnvelopeLayout& layout,
                       int32_t imageRowWidth = 0, int32_t imageHeight = 0);

// The text of an envelope made of `header` and `stream` as they are, whatever
// they claim: how tests and fuzz targets build lying and damaged texts.
std::string EnvelopeText(const EnvelopeLayout& layout, const EnvelopeHeader& header,
                         const std::vector<unsigned char>& stream);

// A decoded envelope whose header has not been trusted yet.
struct DecodedEnvelope {
    std::vector<unsigned char> bytes;  // the decoded bytes, with room for a header even when shorter
    int32_t decodedLength = 0;         // bytes Decode64 produced
    EnvelopeHeader header;

    // The header claims more decoded bytes than there are.
    bool claimsMoreThanDecoded() const { return header.packedSize > decodedLength - kEnvelopeHeaderSize; }
    // The decoded data go on past what the header claims.
    bool decodedMoreThanClaimed() const { return header.packedSize < decodedLength - kEnvelopeHeaderSize; }
    // Both sizes are positive and the template fits the unpack work buffer.
    bool sizesUsable() const;
    const unsigned char* stream() const { return bytes.data() + kEnvelopeHeaderSize; }
    // The decoded bytes after the header, whatever the header claims.
    std::vector<unsigned char> streamBytes() const;
};

// Decodes `length` characters of a packed template text (fewer when its NUL
// comes first) and reads the header.
void DecodeEnvelope(const char* text, int32_t length, const EnvelopeLayout& layout, DecodedEnvelope* out);
// The length that has DecodeEnvelope read a text up to its NUL: measured there,
// once, rather than by the caller beforehand as well.
inline constexpr int32_t kWholeText = INT32_MAX;

// Unpacks a decoded envelope whose sizes have been checked into `out`
// (resized to the unpacked size). False when the stream does not unpack.
bool UnpackEnvelope(const DecodedEnvelope& envelope, std::vector<unsigned char>* out);
