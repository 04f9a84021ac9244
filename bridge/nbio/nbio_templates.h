// Template bytes of the NITGEN matching operations handed to the SDK as an
// input record.
#pragma once

#include <cstdint>

#include "NBioAPI.h"
#include "nbio_template_text.h"

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
