#include "nbio_template_text.h"

#include <cstring>
#include <new>

#include "template_codec.h"
#include "template_text.h"

TemplateFault ReadTemplate(const char* kind, const char* text, TemplateBytes* out) {
    try {
        if (IsNativeKind(kind)) {
            const size_t length = std::strlen(text);
            out->data.assign(text, text + length + 1);
            out->length = static_cast<int32_t>(length);
            return TemplateFault::kNone;
        }
        DecodedEnvelope envelope;
        DecodeEnvelope(text, kWholeText, kNbioEnvelope, &envelope);
        if (envelope.claimsMoreThanDecoded() || envelope.decodedMoreThanClaimed()) return TemplateFault::kDecode;
        if (!envelope.sizesUsable()) return TemplateFault::kSizes;
        out->data.assign(static_cast<size_t>(envelope.header.unpackedSize) + 1, '\0');
        out->length = envelope.header.unpackedSize;
        FK_Unpack(envelope.stream(), envelope.header.packedSize, reinterpret_cast<unsigned char*>(out->data.data()),
                  &out->length);
        return TemplateFault::kNone;
    } catch (const std::bad_alloc&) {
        return TemplateFault::kMemory;
    }
}
