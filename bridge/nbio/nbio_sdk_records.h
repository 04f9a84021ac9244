// Small builders and owners of the SDK records the NITGEN operations use.
#pragma once

#include "NBioAPI.h"

inline NBioAPI_INPUT_FIR HandleInput(NBioAPI_FIR_HANDLE* fir) {
    NBioAPI_INPUT_FIR input{};
    input.Form = NBioAPI_FIR_FORM_HANDLE;
    input.InputFIR.FIRinBSP = fir;
    return input;
}

// The first template sample of the first finger of an export, or null.
inline const NBioAPI_TEMPLATE_DATA* FirstSample(const NBioAPI_EXPORT_DATA& exported) {
    if (exported.FingerNum == 0 || exported.SamplesPerFinger == 0 || !exported.FingerData ||
        !exported.FingerData[0].Template) {
        return nullptr;
    }
    return &exported.FingerData[0].Template[0];
}
