#include "dpfp_template_text.h"

#include <cstring>

#include "template_text.h"

bool ReadTemplate(const char* kind, const char* text, std::vector<uint8_t>* bytes, int32_t* unpackedSize) {
    if (IsNativeKind(kind)) {
        bytes->assign(text, text + std::strlen(text));
        return !bytes->empty();
    }
    DecodedEnvelope envelope;
    DecodeEnvelope(text, kWholeText, kDpfpEnvelope, &envelope);
    if (unpackedSize) *unpackedSize = envelope.header.unpackedSize;
    return UnpackEnvelope(envelope, bytes);
}
