/* DigitalPersona comparison, dpHMatch.dll: the functions fpbridge_dpfp uses,
 * declared from the SDK's calling contract. At deployment the vendor's
 * dpHMatch.dll takes the place of our stand-in with the same file name. All
 * functions return 0 on success. Purposes are those of dpHFtrEx.h. */
#ifndef DPHMATCH_H
#define DPHMATCH_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(DPHMATCH_BUILDING)
#define DPHMATCH_IMPORT __declspec(dllimport)
#elif defined(_WIN32)
#define DPHMATCH_IMPORT __declspec(dllexport)
#else
#define DPHMATCH_IMPORT
#endif

typedef int32_t MC_RESULT;
typedef uint64_t MC_CONTEXT; /* 0 = none */

/* The comparison module's settings. */
typedef struct MC_SETTINGS {
    int32_t featureSetsPerTemplate; /* pre-registration sets one template is made of */
    int32_t reserved[7];
} MC_SETTINGS;

DPHMATCH_IMPORT MC_RESULT MC_init(void);
DPHMATCH_IMPORT MC_RESULT MC_terminate(void);
DPHMATCH_IMPORT MC_RESULT MC_createContext(MC_CONTEXT* context);
DPHMATCH_IMPORT MC_RESULT MC_closeContext(MC_CONTEXT context);
DPHMATCH_IMPORT MC_RESULT MC_getSettings(MC_SETTINGS* settings);

/* The size of a registration template (purpose 1); `reserved` is 0 and
 * `reservedPointer` null. */
DPHMATCH_IMPORT MC_RESULT MC_getFeaturesLen(int32_t purpose, int32_t reserved, int32_t* size, void* reservedPointer);

/* Combines `count` pre-registration feature sets of `featureSetSize` bytes each
 * into a registration template of `templateSize` bytes. `reserved` is 0,
 * `reservedPointer` null, *flag 0 on entry. */
DPHMATCH_IMPORT MC_RESULT MC_generateRegFeatures(MC_CONTEXT context, int32_t reserved, int32_t count,
                                                 int32_t featureSetSize, uint8_t** featureSets, int32_t templateSize,
                                                 uint8_t* templateBuffer, void* reservedPointer, int32_t* flag);

/* Compares a verification feature set with a registration template. Returns 0
 * when the comparison ran; *decision is then nonzero on a match. The bridge
 * passes reserved 0, *options 0, reservedPointer null, *securityLevel 4 and
 * *score 0.0, and leaves the decision to the module. */
DPHMATCH_IMPORT MC_RESULT MC_verifyFeaturesEx(MC_CONTEXT context, int32_t templateSize, const uint8_t* templateData,
                                              int32_t featureSetSize, const uint8_t* featureSet, int32_t reserved,
                                              int32_t* options, void* reservedPointer, int32_t* securityLevel,
                                              double* score, int32_t* decision);

#ifdef __cplusplus
}
#endif

#endif
