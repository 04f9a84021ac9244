// The functions of dpHFtrEx.dll, exported by dpfpsim.dll under a "Sim_" name;
// dpHFtrEx.def forwards the SDK's names here.
#include "dll_simulator_win32.h"
#include "dpHFtrEx.h"
#include "simsdk/export_guard.h"

using dpfpsim::DllSimulator;
using dpfpsim::kInternalError;
using simsdk::GuardedOr;

extern "C" {

decltype(FX_init) Sim_FX_init;
decltype(FX_terminate) Sim_FX_terminate;
decltype(FX_createContext) Sim_FX_createContext;
decltype(FX_closeContext) Sim_FX_closeContext;
decltype(FX_getFeaturesLen) Sim_FX_getFeaturesLen;
decltype(FX_extractFeatures) Sim_FX_extractFeatures;
decltype(FX_getDisplayImage) Sim_FX_getDisplayImage;

FX_RESULT Sim_FX_init(void) {
    return GuardedOr(kInternalError, [] { return DllSimulator().FxInit(); });
}

FX_RESULT Sim_FX_terminate(void) {
    return GuardedOr(kInternalError, [] { return DllSimulator().FxTerminate(); });
}

FX_RESULT Sim_FX_createContext(FX_CONTEXT* context) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().FxCreateContext(context); });
}

FX_RESULT Sim_FX_closeContext(FX_CONTEXT context) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().FxCloseContext(context); });
}

FX_RESULT Sim_FX_getFeaturesLen(int32_t purpose, int32_t* size, int32_t* reserved) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().FxGetFeaturesLen(purpose, size); });
}

FX_RESULT Sim_FX_extractFeatures(FX_CONTEXT context, int32_t sampleSize, const uint8_t* sample, int32_t purpose,
                                 int32_t featureSetSize, uint8_t* featureSet, int32_t* imageQuality,
                                 int32_t* featuresQuality, int32_t* created) {
    return GuardedOr(kInternalError, [&] {
        return DllSimulator().FxExtractFeatures(context, sampleSize, sample, purpose, featureSetSize, featureSet,
                                                imageQuality, featuresQuality, created);
    });
}

FX_RESULT Sim_FX_getDisplayImage(FX_CONTEXT context, const uint8_t* sample, const int32_t size[2], int32_t orientation,
                                 int32_t colours, uint8_t* image) {
    return GuardedOr(kInternalError, [&] {
        return DllSimulator().FxGetDisplayImage(context, sample, size, orientation, colours, image);
    });
}

}  // extern "C"
