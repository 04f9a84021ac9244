#include "dpfp_template_text.h"

#include <cstring>

#include "template_text.h"

bool IsNative(const char* kind) {
    return kind && kind[0] == 'N';
}

bool ReadTemplate(const char* kind, const char* text, std::vector<uint8_t>* bytes, int32_t* unpackedSize) {
    if (IsNative(kind)) {
        bytes->assign(text, text + std::strlen(text));
        return !bytes->empty();
    }
    DecodedEnvelope envelope;
    DecodeEnvelope(text, static_cast<int32_t>(std::strlen(text)), EnvelopeLayout::kDpfp, &envelope);
    if (unpackedSize) *unpackedSize = envelope.unpackedSize;
    return UnpackEnvelope(envelope, bytes);
}
