#include "template_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "template_codec.h"

int32_t ReadLittleEndian32(const unsigned char* p) {
    const uint32_t value = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(value);
}

void WriteLittleEndian32(unsigned char* p, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

char* PackTemplateText(const unsigned char* data, int32_t len, EnvelopeLayout layout, int32_t imageRowWidth,
                       int32_t imageHeight) {
    unsigned char envelope[kEnvelopeHeaderSize + kCodecBufferSize] = {};
    int32_t packed = 0;
    if (!FK_Pack(data, len, envelope + kEnvelopeHeaderSize, &packed)) return nullptr;
    // A template the unpack work buffer cannot hold could never be matched.
    if (len > kCodecBufferSize) return nullptr;
    if (layout == EnvelopeLayout::kNbio) {
        WriteLittleEndian32(envelope, packed);
        WriteLittleEndian32(envelope + 4, len);
    } else {
        WriteLittleEndian32(envelope, imageRowWidth);
        WriteLittleEndian32(envelope + 4, imageHeight);
        WriteLittleEndian32(envelope + 8, packed);
        WriteLittleEndian32(envelope + 12, len);
    }
    return Encode64(envelope, kEnvelopeHeaderSize + packed);
}

bool DecodedEnvelope::sizesUsable() const {
    return packedSize > 0 && unpackedSize > 0 && unpackedSize <= kCodecBufferSize;
}

void DecodeEnvelope(const char* text, int32_t length, EnvelopeLayout layout, DecodedEnvelope* out) {
    // Never past the text's own end, whatever length the caller claims.
    length = text ? static_cast<int32_t>(strnlen(text, static_cast<size_t>(std::max<int32_t>(length, 0)))) : 0;
    const int32_t capacity = Decode64Capacity(length);
    out->bytes.assign(static_cast<size_t>(std::max<int32_t>(capacity, kEnvelopeHeaderSize)), 0);
    int32_t decoded = length;
    Decode64(text, out->bytes.data(), &decoded);
    out->decodedLength = decoded;
    const size_t offset = layout == EnvelopeLayout::kNbio ? 0 : 8;
    out->packedSize = ReadLittleEndian32(out->bytes.data() + offset);
    out->unpackedSize = ReadLittleEndian32(out->bytes.data() + offset + 4);
}

bool UnpackEnvelope(const DecodedEnvelope& envelope, std::vector<unsigned char>* out) {
    if (!envelope.sizesUsable() || envelope.claimsMoreThanDecoded()) return false;
    out->assign(static_cast<size_t>(envelope.unpackedSize), 0);
    return FK_Unpack(envelope.stream(), envelope.packedSize, out->data(), &envelope.unpackedSize);
}
