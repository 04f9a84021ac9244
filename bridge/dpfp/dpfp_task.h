// The per-operation record of the DigitalPersona bridge: handed to the worker
// thread and, through the capture window's user data, to the window procedure.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "bio_status.h"
#include "capture_window.h"
#include "dpHFtrEx.h"
#include "dpHMatch.h"

struct BioTask {
    BioTask(int32_t operationCode, BioWindow* captureWindow, BioStatus* operationStatus)
        : window(captureWindow), status(operationStatus), operation(operationCode) {}
    BioTask(const BioTask&) = delete;
    BioTask& operator=(const BioTask&) = delete;

    int32_t needed = 0;              // enrollment: pre-registration feature sets the comparison module wants
    int32_t collected = 0;           // enrollment: pre-registration feature sets collected so far
    int32_t verifyLength = 0;        // bytes of a verification feature set
    uint8_t** featureSets = nullptr; // enrollment: `needed` pointers to the pre-registration sets
    uint8_t* verifyFeatures = nullptr;
    FX_CONTEXT extraction = 0;
    MC_CONTEXT comparison = 0;
    int32_t templateLength = 0;
    uint8_t* templateData = nullptr; // the registration template: enrolled, or the stored one
    BioWindow* window;
    BioStatus* status;
    int32_t imageWidth = 0;          // row length in bytes of the last display image; 0 if none
    int32_t imageHeight = 0;

    // Beside the record: what the bridge keeps to run safely. The pointers
    // above point into this storage.
    int32_t operation;                  // whose acquisition events this run takes
    std::atomic<bool> finished{false};   // the run is over: later events and cancels are ignored
    std::atomic<bool> cancelled{false};  // "Cancelar" ended it; the status says so once the worker is done
    std::atomic<int32_t> startFailure{0};  // the worker's DPFPStartAcquisition failed with this result
    int32_t featureSetLength = 0;       // bytes of every pre-registration set alike
    int32_t verifyFeaturesSize = 0;     // bytes behind verifyFeatures
    std::vector<std::vector<uint8_t>> featureSetStore;
    std::vector<uint8_t*> featureSetPointers;
    std::vector<uint8_t> templateStore;
    std::vector<uint8_t> verifyStore;
};
