#include "template_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "failure.h"
#include "template_codec.h"

namespace {

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

// Where a field's value lives in the header by meaning; null for kZero.
template <class Header>
auto* FieldOf(Header& header, HeaderField field) {
    switch (field) {
        case HeaderField::kPackedSize: return &header.packedSize;
        case HeaderField::kUnpackedSize: return &header.unpackedSize;
        case HeaderField::kImageWidth: return &header.imageWidth;
        case HeaderField::kImageHeight: return &header.imageHeight;
        case HeaderField::kZero: break;
    }
    return static_cast<decltype(&header.packedSize)>(nullptr);
}

}  // namespace

EnvelopeHeader EnvelopeHeader::Read(const EnvelopeLayout& layout, const unsigned char* bytes) {
    EnvelopeHeader header;
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        if (int32_t* value = FieldOf(header, layout.fields[i])) *value = ReadLittleEndian32(bytes + 4 * i);
    }
    return header;
}

void EnvelopeHeader::Write(const EnvelopeLayout& layout, unsigned char* bytes) const {
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        const int32_t* value = FieldOf(*this, layout.fields[i]);
        WriteLittleEndian32(bytes + 4 * i, value ? *value : 0);
    }
}

bool IsNativeKind(const char* kind) {
    return kind && kind[0] == 'N';
}

char* PackTemplateText(const unsigned char* data, int32_t len, const EnvelopeLayout& layout, int32_t imageRowWidth,
                       int32_t imageHeight) {
    unsigned char envelope[kEnvelopeHeaderSize + kCodecBufferSize] = {};
    int32_t packed = 0;
    if (!FK_Pack(data, len, envelope + kEnvelopeHeaderSize, &packed)) return nullptr;
    // A template the unpack work buffer cannot hold could never be matched.
    if (len > kCodecBufferSize) return nullptr;
    EnvelopeHeader{packed, len, imageRowWidth, imageHeight}.Write(layout, envelope);
    return Encode64(envelope, kEnvelopeHeaderSize + packed);
}

std::string EnvelopeText(const EnvelopeLayout& layout, const EnvelopeHeader& header,
                         const std::vector<unsigned char>& stream) {
    std::vector<unsigned char> envelope(kEnvelopeHeaderSize + stream.size());
    header.Write(layout, envelope.data());
    std::copy(stream.begin(), stream.end(), envelope.begin() + kEnvelopeHeaderSize);
    const OwnedText text(Encode64(envelope.data(), static_cast<int32_t>(envelope.size())));
    if (!text) throw std::bad_alloc();
    return text.get();
}

bool DecodedEnvelope::sizesUsable() const {
    return header.packedSize > 0 && header.unpackedSize > 0 && header.unpackedSize <= kCodecBufferSize;
}

std::vector<unsigned char> DecodedEnvelope::streamBytes() const {
    if (decodedLength <= kEnvelopeHeaderSize) return {};
    return std::vector<unsigned char>(stream(), bytes.data() + decodedLength);
}

void DecodeEnvelope(const char* text, int32_t length, const EnvelopeLayout& layout, DecodedEnvelope* out) {
    // Never past the text's own end, whatever length the caller claims.
    length = text ? static_cast<int32_t>(strnlen(text, static_cast<size_t>(std::max<int32_t>(length, 0)))) : 0;
    const int32_t capacity = Decode64Capacity(length);
    out->bytes.assign(static_cast<size_t>(std::max<int32_t>(capacity, kEnvelopeHeaderSize)), 0);
    int32_t decoded = length;
    Decode64(text, out->bytes.data(), &decoded);
    out->decodedLength = decoded;
    out->header = EnvelopeHeader::Read(layout, out->bytes.data());
}

bool UnpackEnvelope(const DecodedEnvelope& envelope, std::vector<unsigned char>* out) {
    if (!envelope.sizesUsable() || envelope.claimsMoreThanDecoded()) return false;
    out->assign(static_cast<size_t>(envelope.header.unpackedSize), 0);
    return FK_Unpack(envelope.stream(), envelope.header.packedSize, out->data(), &envelope.header.unpackedSize);
}
