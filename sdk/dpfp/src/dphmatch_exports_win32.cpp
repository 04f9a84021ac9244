// The functions of dpHMatch.dll, exported by dpfpsim.dll under a "Sim_" name;
// dpHMatch.def forwards the SDK's names here.
#include "dll_simulator_win32.h"
#include "dpHMatch.h"
#include "simsdk/export_guard.h"

using dpfpsim::DllSimulator;
using dpfpsim::kInternalError;
using simsdk::GuardedOr;

extern "C" {

decltype(MC_init) Sim_MC_init;
decltype(MC_terminate) Sim_MC_terminate;
decltype(MC_createContext) Sim_MC_createContext;
decltype(MC_closeContext) Sim_MC_closeContext;
decltype(MC_getSettings) Sim_MC_getSettings;
decltype(MC_getFeaturesLen) Sim_MC_getFeaturesLen;
decltype(MC_generateRegFeatures) Sim_MC_generateRegFeatures;
decltype(MC_verifyFeaturesEx) Sim_MC_verifyFeaturesEx;

MC_RESULT Sim_MC_init(void) {
    return GuardedOr(kInternalError, [] { return DllSimulator().McInit(); });
}

MC_RESULT Sim_MC_terminate(void) {
    return GuardedOr(kInternalError, [] { return DllSimulator().McTerminate(); });
}

MC_RESULT Sim_MC_createContext(MC_CONTEXT* context) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().McCreateContext(context); });
}

MC_RESULT Sim_MC_closeContext(MC_CONTEXT context) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().McCloseContext(context); });
}

MC_RESULT Sim_MC_getSettings(MC_SETTINGS* settings) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().McGetSettings(settings); });
}

MC_RESULT Sim_MC_getFeaturesLen(int32_t purpose, int32_t reserved, int32_t* size, void* reservedPointer) {
    return GuardedOr(kInternalError, [&] { return DllSimulator().McGetFeaturesLen(purpose, size); });
}

MC_RESULT Sim_MC_generateRegFeatures(MC_CONTEXT context, int32_t reserved, int32_t count, int32_t featureSetSize,
                                     uint8_t** featureSets, int32_t templateSize, uint8_t* templateBuffer,
                                     void* reservedPointer, int32_t* flag) {
    return GuardedOr(kInternalError, [&] {
        return DllSimulator().McGenerateRegFeatures(context, count, featureSetSize, featureSets, templateSize,
                                                    templateBuffer);
    });
}

MC_RESULT Sim_MC_verifyFeaturesEx(MC_CONTEXT context, int32_t templateSize, const uint8_t* templateData,
                                  int32_t featureSetSize, const uint8_t* featureSet, int32_t reserved, int32_t* options,
                                  void* reservedPointer, int32_t* securityLevel, double* score, int32_t* decision) {
    return GuardedOr(kInternalError, [&] {
        return DllSimulator().McVerifyFeaturesEx(context, templateSize, templateData, featureSetSize, featureSet,
                                                 reserved, options, securityLevel, score, decision);
    });
}

}  // extern "C"
