/* NBioBSP reader SDK: the functions and records that fpbridge_nbio uses,
 * declared from the SDK's calling contract. At deployment the vendor's
 * NBioBSP.dll takes the place of our stand-in with the same file name.
 * All functions return 0 (NBioAPIERROR_NONE) on success. */
#ifndef NBIOAPI_H
#define NBIOAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(NBIOBSP_BUILDING)
#define NBIOAPI_IMPORT __declspec(dllimport)
#elif defined(_WIN32)
#define NBIOAPI_IMPORT __declspec(dllexport)
#else
#define NBIOAPI_IMPORT
#endif

typedef uint32_t NBioAPI_RETURN;
typedef uint64_t NBioAPI_HANDLE;     /* SDK instance; 0 = none */
typedef uint64_t NBioAPI_FIR_HANDLE; /* FIR (fingerprint record) held by the SDK; 0 = none */
typedef uint16_t NBioAPI_DEVICE_ID;
typedef int32_t NBioAPI_BOOL;

#define NBioAPIERROR_NONE 0
#define NBioAPIERROR_INVALID_HANDLE 1
#define NBioAPIERROR_INVALID_POINTER 2
#define NBioAPIERROR_DATA_CANNOT_BE_DECRYPTED 12
#define NBioAPIERROR_DEVICE_OPEN_FAIL 0x104
#define NBioAPIERROR_DEVICE_NOT_OPENED 0x105
#define NBioAPIERROR_CAPTURE_TIMEOUT 0x203
#define NBioAPIERROR_FAKE_SUSPICIOUS 0x204
#define NBioAPIERROR_FDX_CONVERSION 0x301

#define NBioAPI_DEVICE_ID_AUTO 0x00FF
#define NBioAPI_FIR_PURPOSE_VERIFY 1
#define NBioAPI_WINDOW_STYLE_INVISIBLE 1
#define NBioAPI_TEXTFIR_FORMAT_EXTENDED 1
#define NBioAPI_FDX_FORMAT_ISO 35

#define NBioAPI_FIR_FORM_HANDLE 2
#define NBioAPI_FIR_FORM_TEXTENCODE 4

/* Window options, 96 bytes: the SDK draws the live image into FingerWnd. */
typedef struct NBioAPI_WINDOW_OPTION {
    uint32_t Length;
    uint32_t WindowStyle;
    void* ParentWnd; /* HWND */
    void* FingerWnd; /* HWND */
    uint8_t Reserved[72];
} NBioAPI_WINDOW_OPTION;

/* A text-encoded FIR; TextFIR is owned by the SDK (NBioAPI_FreeTextFIR). */
typedef struct NBioAPI_FIR_TEXTENCODE {
    int32_t IsWideChar;
    char* TextFIR;
} NBioAPI_FIR_TEXTENCODE;

/* A FIR handed to the SDK, by handle (form 2) or as text (form 4). */
typedef struct NBioAPI_INPUT_FIR {
    uint8_t Form;
    union {
        NBioAPI_FIR_HANDLE* FIRinBSP;
        NBioAPI_FIR_TEXTENCODE* TextFIR;
    } InputFIR;
} NBioAPI_INPUT_FIR;

typedef struct NBioAPI_TEMPLATE_DATA {
    uint32_t Length;
    uint8_t* Data;
} NBioAPI_TEMPLATE_DATA;

typedef struct NBioAPI_FINGER_DATA {
    uint8_t FingerID;
    NBioAPI_TEMPLATE_DATA* Template; /* SamplesPerFinger entries */
} NBioAPI_FINGER_DATA;

/* FDx export, 24 bytes; filled by NBioAPI_NBioBSPToFDx, owned by the SDK
 * until NBioAPI_FreeExportData. */
typedef struct NBioAPI_EXPORT_DATA {
    uint32_t Length;
    int32_t FormatType;
    uint8_t FingerNum;
    uint8_t SamplesPerFinger;
    uint8_t Reserved[6];
    NBioAPI_FINGER_DATA* FingerData;
} NBioAPI_EXPORT_DATA;

/* Payload carried by a FIR, 16 bytes. */
typedef struct NBioAPI_FIR_PAYLOAD {
    uint32_t Length;
    uint8_t* Data;
} NBioAPI_FIR_PAYLOAD;

NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_Init(NBioAPI_HANDLE* handle);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_Terminate(NBioAPI_HANDLE handle);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_OpenDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_CloseDevice(NBioAPI_HANDLE handle, NBioAPI_DEVICE_ID device);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_FreeFIRHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir);

/* Blocks until a finger is captured, the time-out (ms) passes or the reader fails. */
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_Capture(NBioAPI_HANDLE handle, uint8_t purpose, NBioAPI_FIR_HANDLE* captured,
                                              int32_t timeoutMs, NBioAPI_FIR_HANDLE* auditData,
                                              const NBioAPI_WINDOW_OPTION* option);

NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_FreeTextFIR(NBioAPI_HANDLE handle, NBioAPI_FIR_TEXTENCODE* text);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_GetExtendedTextFIRFromHandle(NBioAPI_HANDLE handle, NBioAPI_FIR_HANDLE fir,
                                                                   NBioAPI_FIR_TEXTENCODE* text, int32_t isWide,
                                                                   int32_t format);

NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_FreeExportData(NBioAPI_HANDLE handle, NBioAPI_EXPORT_DATA* exported);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_NBioBSPToFDx(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* fir,
                                                   NBioAPI_EXPORT_DATA* exported, int32_t formatType);
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_FDxToNBioBSP(NBioAPI_HANDLE handle, const uint8_t* data, uint32_t length,
                                                   int32_t formatType, uint8_t purpose, NBioAPI_FIR_HANDLE* fir);

/* Live verification against a stored FIR; *result is 1 on a match. */
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_Verify(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* stored,
                                             NBioAPI_BOOL* result, NBioAPI_FIR_PAYLOAD* payload, int32_t timeoutMs,
                                             NBioAPI_FIR_HANDLE* auditData, const NBioAPI_WINDOW_OPTION* option);
/* Comparison of two FIRs without the reader; *result is 1 on a match. */
NBIOAPI_IMPORT NBioAPI_RETURN NBioAPI_VerifyMatch(NBioAPI_HANDLE handle, const NBioAPI_INPUT_FIR* first,
                                                  const NBioAPI_INPUT_FIR* second, NBioAPI_BOOL* result,
                                                  NBioAPI_FIR_PAYLOAD* payload);

#ifdef __cplusplus
}
#endif

#endif
