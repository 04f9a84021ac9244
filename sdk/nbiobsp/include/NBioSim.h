/* Control interface of the simulated NBioBSP reader: exported only by our
 * stand-in NBioBSP.dll, never by the vendor's. Tests call it in-process; other
 * processes (the demo) script the reader through the environment variable
 * NBIOSIM_SCRIPT, read at the first call into the library and by NBioSim_Reset.
 *
 * A script is a list of "key=value" items separated by ';' (blanks ignored):
 *   init=R  open=R  textfir=R  freetext=R  tofdx=R  fromfdx=R  verify=R  verifymatch=R
 *           result code of the next calls of that function (0 = success; init
 *           failing leaves the handle empty). A comma list R1,R2,... is used one
 *           value per call, the last value then stays.
 *   capture=R1,R2,...   results of successive captures (NBioAPI_Capture and the
 *                       capture inside NBioAPI_Verify)
 *   finger=F1,F2,...    finger on the reader for successive captures (1..10;
 *                       default 1; the last stays). Same finger => templates match.
 *   delay=MS            time a capture takes before the finger is read (default 0);
 *                       the live image is drawn into the finger window meanwhile
 *   block=1             captures wait for their whole time-out, then fail with 0x203
 *   timeout=MS          replaces the time-out that the caller passes (shortens the
 *                       15000 ms captures under test)
 *   session=N           numbers a run: captures of one finger in runs of different
 *                       numbers differ in their bytes (default 0)
 *   cancel=MS           MS into each capture the user presses the caller's Cancel
 *                       button: WM_COMMAND with IDCANCEL is posted to the window
 *                       option's parent window. The capture itself goes on as
 *                       planned, as the SDK's does when its caller's window goes
 *                       away under it.
 * Unknown keys or malformed values make NBioSim_Configure return -1 and change nothing.
 * A malformed NBIOSIM_SCRIPT is told on standard error, and NBioAPI_Init then
 * fails with NBioAPIERROR_DEVICE_OPEN_FAIL: a typo never passes for a reader. */
#ifndef NBIOSIM_H
#define NBIOSIM_H

#include <stdint.h>

#include "NBioAPI.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Live objects obtained from the SDK and not yet released. */
typedef struct NBioSimCounters {
    int32_t instances;   /* NBioAPI_Init without NBioAPI_Terminate */
    int32_t devices;     /* NBioAPI_OpenDevice without NBioAPI_CloseDevice */
    int32_t firHandles;  /* FIR handles (captures, audit data, FDx imports) not freed */
    int32_t textFirs;    /* text FIRs not freed with NBioAPI_FreeTextFIR */
    int32_t exports;     /* export records not freed with NBioAPI_FreeExportData */
} NBioSimCounters;

/* Arguments of the latest calls, to check what a caller hands the SDK. */
typedef struct NBioSimLastCall {
    uint8_t capturePurpose;       /* NBioAPI_Capture */
    int32_t captureTimeoutMs;     /* NBioAPI_Capture or NBioAPI_Verify, as the caller passed it */
    NBioAPI_WINDOW_OPTION window; /* NBioAPI_Capture or NBioAPI_Verify; zeroed when none was given */
    int32_t fdxFormatType;        /* NBioAPI_NBioBSPToFDx or NBioAPI_FDxToNBioBSP */
    int32_t matchFingers[2];      /* fingers of NBioAPI_VerifyMatch's first and second record (0: unreadable) */
} NBioSimLastCall;

/* Applies a script on top of the current settings; 0, or -1 when malformed. */
NBIOAPI_IMPORT int32_t NBioSim_Configure(const char* script);
/* Default settings, then NBIOSIM_SCRIPT when set; counters and call counts to zero. */
NBIOAPI_IMPORT void NBioSim_Reset(void);
NBIOAPI_IMPORT void NBioSim_GetCounters(NBioSimCounters* counters);
/* Number of calls of an NBioAPI_ function (by its full name) since the last reset. */
NBIOAPI_IMPORT int32_t NBioSim_CallCount(const char* functionName);
/* The text of the last text-form FIR that NBioAPI_Verify (which = 0) or the first (1)
 * or second (2) record of NBioAPI_VerifyMatch received, copied with its NUL into out;
 * the number of bytes copied, or 0 when there was none. */
NBIOAPI_IMPORT int32_t NBioSim_LastInputText(int32_t which, char* out, int32_t outSize);
/* Copies the arguments of the latest calls (all zero after a reset). */
NBIOAPI_IMPORT void NBioSim_GetLastCall(NBioSimLastCall* last);

#ifdef __cplusplus
}
#endif

#endif
