// The per-operation record that a NITGEN operation hands to its worker thread.
#pragma once

#include <cstdint>

#include "NBioAPI.h"
#include "bio_status.h"

// The capture window's handles (capture_window.h); operations without a
// window never look inside.
struct BioWindow;

struct BioTask {
    // Capture: the captured template bytes (owned by the SDK). Verify: the
    // SDK input record of the stored template.
    void* inputData;
    int32_t inputLength;
    BioWindow* window;
    BioStatus* status;
    // What the capture worker obtained from the SDK; the operation releases
    // it once the template text has been built.
    NBioAPI_FIR_HANDLE capturedFir;
    NBioAPI_FIR_HANDLE auditFir;
    NBioAPI_FIR_TEXTENCODE textFir;
    NBioAPI_EXPORT_DATA exported;
};
