#include "nbio_templates.h"

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
