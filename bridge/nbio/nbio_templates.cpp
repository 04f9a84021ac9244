#include "nbio_templates.h"

#include <cstring>
#include <new>

#include "template_codec.h"
#include "template_text.h"

TemplateFault ReadTemplate(const char* kind, const char* text, TemplateBytes* out) {
    const int32_t length = static_cast<int32_t>(std::strlen(text));
    try {
        if (kind && kind[0] == 'N') {
            out->data.assign(text, text + length + 1);
            out->length = length;
            return TemplateFault::kNone;
        }
        DecodedEnvelope envelope;
        DecodeEnvelope(text, length, EnvelopeLayout::kNbio, &envelope);
        if (envelope.claimsMoreThanDecoded() || envelope.decodedMoreThanClaimed()) return TemplateFault::kDecode;
        if (!envelope.sizesUsable()) return TemplateFault::kSizes;
        out->data.assign(static_cast<size_t>(envelope.unpackedSize) + 1, '\0');
        out->length = envelope.unpackedSize;
        FK_Unpack(envelope.stream(), envelope.packedSize, reinterpret_cast<unsigned char*>(out->data.data()),
                  &out->length);
        return TemplateFault::kNone;
    } catch (const std::bad_alloc&) {
        return TemplateFault::kMemory;
    }
}

SdkTemplateInput::SdkTemplateInput(NBioAPI_HANDLE sdk, int32_t authType, TemplateBytes& bytes) : m_sdk(sdk) {
    if (authType == 1) {
        m_text.IsWideChar = 0;
        m_text.TextFIR = bytes.data.data();
        m_input.Form = NBioAPI_FIR_FORM_TEXTENCODE;
        m_input.InputFIR.TextFIR = &m_text;
    } else {
        if (NBioAPI_FDxToNBioBSP(sdk, reinterpret_cast<const uint8_t*>(bytes.data.data()),
                                 static_cast<uint32_t>(bytes.length), authType, NBioAPI_FIR_PURPOSE_VERIFY,
                                 &m_fir) != NBioAPIERROR_NONE) {
            m_fir = 0;
        }
        m_input.Form = NBioAPI_FIR_FORM_HANDLE;
        m_input.InputFIR.FIRinBSP = &m_fir;
    }
}

SdkTemplateInput::~SdkTemplateInput() {
    if (m_fir) NBioAPI_FreeFIRHandle(m_sdk, m_fir);
}
