/* DigitalPersona feature extraction, dpHFtrEx.dll: the functions fpbridge_dpfp
 * uses, declared from the SDK's calling contract. At deployment the vendor's
 * dpHFtrEx.dll takes the place of our stand-in with the same file name. All
 * functions return 0 on success. */
#ifndef DPHFTREX_H
#define DPHFTREX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(DPHFTREX_BUILDING)
#define DPHFTREX_IMPORT __declspec(dllimport)
#elif defined(_WIN32)
#define DPHFTREX_IMPORT __declspec(dllexport)
#else
#define DPHFTREX_IMPORT
#endif

typedef int32_t FX_RESULT;
typedef uint64_t FX_CONTEXT; /* 0 = none */

/* What a feature set is made for. */
#define DP_PURPOSE_PREREGISTRATION 0 /* one of the sets an enrollment combines */
#define DP_PURPOSE_REGISTRATION 1    /* the registration template (comparison module) */
#define DP_PURPOSE_VERIFICATION 2    /* the live set compared with a template */

DPHFTREX_IMPORT FX_RESULT FX_init(void);
DPHFTREX_IMPORT FX_RESULT FX_terminate(void);
DPHFTREX_IMPORT FX_RESULT FX_createContext(FX_CONTEXT* context);
DPHFTREX_IMPORT FX_RESULT FX_closeContext(FX_CONTEXT context);

/* The size of a feature set for `purpose` (0 or 2); `reserved` is null. */
DPHFTREX_IMPORT FX_RESULT FX_getFeaturesLen(int32_t purpose, int32_t* size, int32_t* reserved);

/* Extracts a feature set of `featureSetSize` bytes from a sample's data into
 * `featureSet`. *created is nonzero when a feature set was made; the two
 * quality values are informative. */
DPHFTREX_IMPORT FX_RESULT FX_extractFeatures(FX_CONTEXT context, int32_t sampleSize, const uint8_t* sample,
                                             int32_t purpose, int32_t featureSetSize, uint8_t* featureSet,
                                             int32_t* imageQuality, int32_t* featuresQuality, int32_t* created);

/* Draws the sample's print as an 8-bit grey image of size[0] bytes per row and
 * size[1] rows, top row first, into `image`. */
DPHFTREX_IMPORT FX_RESULT FX_getDisplayImage(FX_CONTEXT context, const uint8_t* sample, const int32_t size[2],
                                             int32_t orientation, int32_t colours, uint8_t* image);

#ifdef __cplusplus
}
#endif

#endif
