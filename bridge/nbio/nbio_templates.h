// Template arguments of the NITGEN matching operations: kind marker + text in,
// SDK input record out.
#pragma once

#include <cstdint>
#include <vector>

#include "NBioAPI.h"

// Template bytes ready for the SDK, NUL-terminated so that a text-encoded FIR
// can be handed over as text.
struct TemplateBytes {
    std::vector<char> data;
    int32_t length = 0;
};

enum class TemplateFault {
    kNone,
    kDecode,  // the envelope's packed size disagrees with the decoded bytes
    kSizes,   // packed or unpacked size zero, negative, or beyond the unpack buffer
    kMemory,
};

// A kind marker starting with 'N' marks native text, used as it is; anything
// else, an absent marker included, marks packed template text, which is decoded
// and unpacked. A stream that does not unpack is still handed on: the SDK decides.
TemplateFault ReadTemplate(const char* kind, const char* text, TemplateBytes* out);

// An SDK input record for template bytes: text form for auth type 1, otherwise
// the FIR handle that the FDx import made (empty when the import failed). The
// handle is released with the record, which must go before the SDK instance ends.
class SdkTemplateInput {
public:
    SdkTemplateInput(NBioAPI_HANDLE sdk, int32_t authType, TemplateBytes& bytes);
    ~SdkTemplateInput();
    SdkTemplateInput(const SdkTemplateInput&) = delete;
    SdkTemplateInput& operator=(const SdkTemplateInput&) = delete;

    const NBioAPI_INPUT_FIR* record() const { return &m_input; }

private:
    NBioAPI_HANDLE m_sdk;
    NBioAPI_FIR_TEXTENCODE m_text{};
    NBioAPI_FIR_HANDLE m_fir = 0;
    NBioAPI_INPUT_FIR m_input{};
};
