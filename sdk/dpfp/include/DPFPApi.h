/* DigitalPersona reader access and acquisition, DPFPApi.dll: the functions and
 * records that fpbridge_dpfp uses, declared from the SDK's calling contract. At
 * deployment the vendor's DPFPApi.dll takes the place of our stand-in with the
 * same file name. Results are HRESULT-style: 0 success, negative failure. */
#ifndef DPFPAPI_H
#define DPFPAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && !defined(DPFPAPI_BUILDING)
#define DPFPAPI_IMPORT __declspec(dllimport)
#elif defined(_WIN32)
#define DPFPAPI_IMPORT __declspec(dllexport)
#else
#define DPFPAPI_IMPORT
#endif

typedef int32_t DPFP_RESULT;
typedef uint64_t DPFP_ACQUISITION; /* 0 = none */

#define DPFP_OK 0
#define DPFP_ALREADY_INITIALISED 1 /* DPFPInit: an earlier initialisation is still active */

/* A reader, 16 bytes. The all-zero identifier means "any reader". */
typedef struct DPFP_READER_ID {
    uint8_t bytes[16];
} DPFP_READER_ID;

/* Reader information, 824 bytes; the serial number is a UTF-16 text at byte
 * 544, NUL-terminated when it is shorter than its field. */
#define DPFP_DEVICE_INFO_SIZE 824
#define DPFP_DEVICE_SERIAL_OFFSET 544
#define DPFP_DEVICE_SERIAL_UNITS 140
typedef struct DPFP_DEVICE_INFO {
    uint8_t header[DPFP_DEVICE_SERIAL_OFFSET];
    uint16_t serialNumber[DPFP_DEVICE_SERIAL_UNITS];
} DPFP_DEVICE_INFO;

/* Arguments of DPFPCreateAcquisition as the bridge passes them. */
#define DPFP_PRIORITY_STANDARD 3
#define DPFP_DATA_TYPE_SAMPLE 4

/* Acquisition events. DPFPStartAcquisition makes the SDK post them to the
 * window given to DPFPCreateAcquisition, under the message number given there:
 * wParam is the kind, lParam its data. */
#define DPFP_EVENT_SAMPLE 0          /* lParam: const DPFP_SAMPLE* */
#define DPFP_EVENT_ERROR 1           /* lParam: the error code */
#define DPFP_EVENT_DISCONNECTED 2
#define DPFP_EVENT_CONNECTED 3
#define DPFP_EVENT_FINGER_TOUCHED 5
#define DPFP_EVENT_FINGER_GONE 6
#define DPFP_EVENT_IMAGE_READY 7
#define DPFP_EVENT_STOPPED 10

/* A captured sample: its size in bytes, then (8-byte aligned) its data, which
 * may be null. Owned by the SDK and valid until DPFPTerm. */
typedef struct DPFP_SAMPLE {
    uint32_t size;
    uint8_t* data;
} DPFP_SAMPLE;

/* Starts the reader session; DPFP_ALREADY_INITIALISED when one is active. */
DPFPAPI_IMPORT DPFP_RESULT DPFPInit(void);
/* Ends the reader session and every acquisition in it: once it returns, no
 * acquisition posts another event. Samples and device lists become invalid. */
DPFPAPI_IMPORT void DPFPTerm(void);

/* The attached readers: *count identifiers in a list owned by the SDK, valid
 * until DPFPTerm. */
DPFPAPI_IMPORT DPFP_RESULT DPFPEnumerateDevices(uint32_t* count, DPFP_READER_ID** readers);
/* Fills the caller's record for one reader. */
DPFPAPI_IMPORT DPFP_RESULT DPFPGetDeviceInfo(const DPFP_READER_ID* reader, DPFP_DEVICE_INFO* info);

/* window: the HWND that receives the events under `message`. */
DPFPAPI_IMPORT DPFP_RESULT DPFPCreateAcquisition(int32_t priority, const DPFP_READER_ID* reader, uint32_t dataTypes,
                                                 void* window, uint32_t message, DPFP_ACQUISITION* acquisition);
DPFPAPI_IMPORT DPFP_RESULT DPFPStartAcquisition(DPFP_ACQUISITION acquisition);

/* With a null buffer, sets *size to the bytes a bitmap of the sample needs.
 * With a buffer of *size bytes, fills it with a device-independent bitmap: a
 * 40-byte BITMAPINFOHEADER, biClrUsed 4-byte palette entries, then biSizeImage
 * pixel bytes. Negative on failure. */
DPFPAPI_IMPORT DPFP_RESULT DPFPConvertSampleToBitmap(const DPFP_SAMPLE* sample, uint8_t* buffer, uint32_t* size);

#ifdef __cplusplus
}
#endif

#endif
