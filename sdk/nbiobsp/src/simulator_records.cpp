// Text FIRs, FDx conversion and matching of the simulator: everything that
// reads or writes the template formats of fir_formats.h.
#include "simulator.h"
#include "fir_formats.h"

namespace nbiosim {

const char* Simulator::NarrowText(const NBioAPI_INPUT_FIR& input) {
    if (input.Form != NBioAPI_FIR_FORM_TEXTENCODE || input.InputFIR.TextFIR == nullptr) return nullptr;
    const NBioAPI_FIR_TEXTENCODE& text = *input.InputFIR.TextFIR;
    return text.IsWideChar == 0 ? text.TextFIR : nullptr;
}

NBioAPI_RETURN Simulator::ResolveLocked(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR& input,
                                        FingerTemplate& out) const {
    if (input.Form == NBioAPI_FIR_FORM_HANDLE) {
        if (input.InputFIR.FIRinBSP == nullptr) return NBioAPIERROR_INVALID_POINTER;
        const FingerTemplate* found = store_.FindFir(handle, *input.InputFIR.FIRinBSP);
        if (found == nullptr) return NBioAPIERROR_INVALID_HANDLE;
        out = *found;
        return NBioAPIERROR_NONE;
    }
    if (input.Form == NBioAPI_FIR_FORM_TEXTENCODE) {
        const NBioAPI_FIR_TEXTENCODE* text = input.InputFIR.TextFIR;
        if (text == nullptr || text->TextFIR == nullptr) return NBioAPIERROR_INVALID_POINTER;
        if (text->IsWideChar != 0) return kErrorUnsupported;
        auto decoded = DecodeTextFir(text->TextFIR);
        if (!decoded) return NBioAPIERROR_DATA_CANNOT_BE_DECRYPTED;
        out = std::move(*decoded);
        return NBioAPIERROR_NONE;
    }
    return kErrorUnsupported;
}

NBioAPI_RETURN Simulator::FreeTextFIR(NBioAPI_HANDLE handle, NBioAPI_FIR_TEXTENCODE* text) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_FreeTextFIR");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (text == nullptr) return NBioAPIERROR_INVALID_POINTER;
    if (const NBioAPI_RETURN scripted = settings_.freetext.Take()) return scripted;
    if (text->TextFIR == nullptr) return NBioAPIERROR_NONE;
    if (!store_.RemoveText(handle, text->TextFIR)) return NBioAPIERROR_INVALID_POINTER;
    text->TextFIR = nullptr;
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::GetExtendedTextFIRFromHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir,
                                                       NBioAPI_FIR_TEXTENCODE* text, int32_t isWide, int32_t format) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_GetExtendedTextFIRFromHandle");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (text == nullptr) return NBioAPIERROR_INVALID_POINTER;
    if (const NBioAPI_RETURN scripted = settings_.textfir.Take()) return scripted;
    if (isWide != 0 || format != NBioAPI_TEXTFIR_FORMAT_EXTENDED) return kErrorUnsupported;
    const FingerTemplate* tmpl = store_.FindFir(handle, fir);
    if (tmpl == nullptr) return NBioAPIERROR_INVALID_HANDLE;
    text->IsWideChar = 0;
    text->TextFIR = store_.AddText(handle, EncodeTextFir(*tmpl));
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::FreeExportData(NBioAPI_HANDLE handle, NBioAPI_EXPORT_DATA* exported) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_FreeExportData");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (exported == nullptr) return NBioAPIERROR_INVALID_POINTER;
    if (exported->FingerData == nullptr) return NBioAPIERROR_NONE;
    if (!store_.RemoveExport(handle, exported->FingerData)) return NBioAPIERROR_INVALID_POINTER;
    *exported = NBioAPI_EXPORT_DATA{};
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::NBioBSPToFDx(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* fir,
                                       NBioAPI_EXPORT_DATA* exported, int32_t formatType) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_NBioBSPToFDx");
    lastCall_.fdxFormatType = formatType;
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (fir == nullptr || exported == nullptr) return NBioAPIERROR_INVALID_POINTER;
    if (const NBioAPI_RETURN scripted = settings_.tofdx.Take()) return scripted;
    if (formatType != kFdxFormatIso) return NBioAPIERROR_FDX_CONVERSION;
    FingerTemplate tmpl;
    if (const NBioAPI_RETURN fault = ResolveLocked(handle, *fir, tmpl)) return fault;
    store_.AddExport(handle, tmpl.finger, formatType, EncodeFdx(tmpl, formatType), *exported);
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::FDxToNBioBSP(NBioAPI_HANDLE handle, const uint8_t* data, uint32_t length, int32_t formatType,
                                       NBioAPI_FIR_HANDLE* fir) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_FDxToNBioBSP");
    lastCall_.fdxFormatType = formatType;
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (data == nullptr || fir == nullptr) return NBioAPIERROR_INVALID_POINTER;
    *fir = 0;
    if (const NBioAPI_RETURN scripted = settings_.fromfdx.Take()) return scripted;
    auto tmpl = DecodeFdx(data, length, formatType);
    if (!tmpl) return NBioAPIERROR_FDX_CONVERSION;
    *fir = store_.AddFir(handle, std::move(*tmpl));
    return NBioAPIERROR_NONE;
}

NBioAPI_RETURN Simulator::VerifyMatch(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* first,
                                      const NBioAPI_INPUT_FIR* second, NBioAPI_BOOL* result,
                                      NBioAPI_FIR_PAYLOAD* payload) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("NBioAPI_VerifyMatch");
    if (!store_.HasInstance(handle)) return NBioAPIERROR_INVALID_HANDLE;
    if (first == nullptr || second == nullptr || result == nullptr) return NBioAPIERROR_INVALID_POINTER;
    *result = 0;
    if (payload != nullptr) *payload = NBioAPI_FIR_PAYLOAD{};
    if (const char* text = NarrowText(*first)) lastTexts_[1] = text;
    if (const char* text = NarrowText(*second)) lastTexts_[2] = text;
    if (const NBioAPI_RETURN scripted = settings_.verifymatch.Take()) return scripted;

    FingerTemplate a;
    FingerTemplate b;
    lastCall_.matchFingers[0] = lastCall_.matchFingers[1] = 0;
    if (const NBioAPI_RETURN fault = ResolveLocked(handle, *first, a)) return fault;
    lastCall_.matchFingers[0] = a.finger;
    if (const NBioAPI_RETURN fault = ResolveLocked(handle, *second, b)) return fault;
    lastCall_.matchFingers[1] = b.finger;
    *result = SameFinger(a, b) ? 1 : 0;
    return NBioAPIERROR_NONE;
}

}  // namespace nbiosim
