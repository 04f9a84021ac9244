// The functions of dpHMatch.dll over the process's simulator. On Windows
// dpfpsim.dll exports them and our dpHMatch.dll forwards the SDK's names here.
#include "dpHMatch.h"
#include "process_simulator.h"
#include "simsdk/export_guard.h"

using dpfpsim::ProcessSimulator;
using dpfpsim::kInternalError;
using simsdk::GuardedOr;

extern "C" {

MC_RESULT MC_init(void) {
    return GuardedOr(kInternalError, [] { return ProcessSimulator().McInit(); });
}

MC_RESULT MC_terminate(void) {
    return GuardedOr(kInternalError, [] { return ProcessSimulator().McTerminate(); });
}

MC_RESULT MC_createContext(MC_CONTEXT* context) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().McCreateContext(context); });
}

MC_RESULT MC_closeContext(MC_CONTEXT context) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().McCloseContext(context); });
}

MC_RESULT MC_getSettings(MC_SETTINGS* settings) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().McGetSettings(settings); });
}

MC_RESULT MC_getFeaturesLen(int32_t purpose, int32_t reserved, int32_t* size, void* reservedPointer) {
    return GuardedOr(kInternalError, [&] { return ProcessSimulator().McGetFeaturesLen(purpose, size); });
}

MC_RESULT MC_generateRegFeatures(MC_CONTEXT context, int32_t reserved, int32_t count, int32_t featureSetSize,
                                     uint8_t** featureSets, int32_t templateSize, uint8_t* templateBuffer,
                                     void* reservedPointer, int32_t* flag) {
    return GuardedOr(kInternalError, [&] {
        return ProcessSimulator().McGenerateRegFeatures(context, count, featureSetSize, featureSets, templateSize,
                                                    templateBuffer);
    });
}

MC_RESULT MC_verifyFeaturesEx(MC_CONTEXT context, int32_t templateSize, const uint8_t* templateData,
                                  int32_t featureSetSize, const uint8_t* featureSet, int32_t reserved, int32_t* options,
                                  void* reservedPointer, int32_t* securityLevel, double* score, int32_t* decision) {
    return GuardedOr(kInternalError, [&] {
        return ProcessSimulator().McVerifyFeaturesEx(context, templateSize, templateData, featureSetSize, featureSet,
                                                 reserved, options, securityLevel, score, decision);
    });
}

}  // extern "C"
