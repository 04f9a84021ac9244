// The functions of dpHFtrEx.dll over the process's simulator. On Windows
// dpfpsim.dll exports them and our dpHFtrEx.dll forwards the SDK's names here.
#include "dpHFtrEx.h"
#include "process_simulator.h"
#include "simsdk/export_guard.h"

using dpfpsim::ProcessSimulator;
using dpfpsim::kInternalError;
using simsdk::GuardedOr;

extern "C" {

FX_RESULT FX_init(void) {
    return GuardedOr(kInternalError, [] { return ProcessSimulator().FxInit(); });
}

FX_RESULT FX_terminate(void) {
    return GuardedOr(kInternalError, [] { return ProcessSimulator().FxTerminate(); });
}

FX_RESULT FX_createContext(FX_CONTEXT* context) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().FxCreateContext(context); });
}

FX_RESULT FX_closeContext(FX_CONTEXT context) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().FxCloseContext(context); });
}

FX_RESULT FX_getFeaturesLen(int32_t purpose, int32_t* size, int32_t* reserved) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().FxGetFeaturesLen(purpose, size); });
}

FX_RESULT FX_extractFeatures(FX_CONTEXT context, int32_t sampleSize, const uint8_t* sample, int32_t purpose,
                                 int32_t featureSetSize, uint8_t* featureSet, int32_t* imageQuality,
                                 int32_t* featuresQuality, int32_t* created) {
    return GuardedOr(kInternalError, [&] {
        return ProcessSimulator().FxExtractFeatures(context, sampleSize, sample, purpose, featureSetSize, featureSet,
                                                imageQuality, featuresQuality, created);
    });
}

FX_RESULT FX_getDisplayImage(FX_CONTEXT context, const uint8_t* sample, const int32_t size[2], int32_t orientation,
                                 int32_t colours, uint8_t* image) {
    return GuardedOr(kInternalError, [&] {
        return ProcessSimulator().FxGetDisplayImage(context, sample, size, orientation, colours, image);
    });
}

}  // extern "C"
