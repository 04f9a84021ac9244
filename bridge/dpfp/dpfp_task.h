// The per-operation record of the DigitalPersona bridge: handed to the worker
// thread and, through the capture window's user data, to the window procedure.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "bio_status.h"
#include "dpHFtrEx.h"
#include "dpHMatch.h"

// The capture window's handles (capture_window.h); operations without a
// window never look inside.
struct BioWindow;

struct BioTask {
    BioTask(int32_t operationCode, BioWindow* captureWindow, BioStatus* operationStatus)
        : window(captureWindow), status(operationStatus), operation(operationCode) {}
    BioTask(const BioTask&) = delete;
    BioTask& operator=(const BioTask&) = delete;

    int32_t needed = 0;        // enrollment: pre-registration feature sets the comparison module wants
    int32_t collected = 0;     // enrollment: pre-registration feature sets collected so far
    int32_t verifyLength = 0;  // bytes of a verification feature set, as the extraction module makes them
    FX_CONTEXT extraction = 0;
    MC_CONTEXT comparison = 0;
    // Enrollment: `needed` pre-registration feature sets, each featureSetLength
    // bytes once it is made; the comparison module combines them at one size.
    std::vector<std::vector<uint8_t>> featureSets;
    int32_t featureSetLength = 0;
    // The verification feature set, extracted from a live sample or read from
    // a text; empty when there is none.
    std::vector<uint8_t> verifyFeatures;
    // The registration template, enrolled or read from the stored text; empty
    // when there is none.
    std::vector<uint8_t> templateData;
    BioWindow* window;
    BioStatus* status;
    int32_t imageWidth = 0;  // row length in bytes of the last display image; 0 if none
    int32_t imageHeight = 0;

    int32_t operation;                     // whose acquisition events this run takes
    std::atomic<bool> finished{false};     // the run is over: later events and cancels are ignored
    std::atomic<bool> cancelled{false};    // "Cancelar" ended it; the status says so once the worker is done
    std::atomic<int32_t> startFailure{0};  // the worker's DPFPStartAcquisition failed with this result
};
