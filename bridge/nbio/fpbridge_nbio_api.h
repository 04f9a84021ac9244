/* fpbridge_nbio.dll: the KAVRO Biometria bridge for NITGEN fingerprint readers.
 * Its C API for native clients; plain C (C99), also usable from C++. Link with
 * libfpbridge_nbio.dll.a (MinGW) or fpbridge_nbio.lib (MSVC); the NITGEN SDK's
 * NBioBSP.dll must lie beside the library or on the search path.
 *
 * Templates travel as text, each with a kind marker: a marker whose first
 * character is 'N' marks native text, anything else (also "" or NULL) packed
 * template text, the form FK_Capture returns.
 *
 * Ownership: every text and message buffer the library hands out becomes the
 * caller's: release it with FK_FreeText, which frees it with the C runtime that
 * allocated it (msvcrt.dll), whatever runtime the caller was built with.
 *
 * One operation at a time: the library keeps process-wide state. A call made
 * while another of its operations runs (on another thread, or from your own
 * code called back inside a capture window's message loop) is refused at once
 * with error 998, "ERROR - The reader is busy with another operation.", in
 * the failure form of that call (each call below says which).
 *
 * Calls that show the "KAVRO - Biometria" window (FK_Capture, FK_VerifyServer,
 * FK_Verify, FK_CaptureAndVerify, the ENROLL, CAPTURAR and VERIFICAR commands) block the calling
 * thread until the window closes and run its message loop there: make them
 * from a thread that may wait, never from a user interface thread that must
 * stay responsive. The window closed from outside (Alt+F4, a logoff, the
 * window destroyed, a WM_QUIT for the thread) ends the call as its "Cancelar"
 * button does. Nothing stops the reader, though: the
 * call returns when the reader's own capture ends, at its time-out (15 s) with
 * "ERROR - Fingerprint capture left due to delay to capture a valid digital"
 * unless a finger was read meanwhile.
 *
 * A failure inside the library (memory ran out) ends a call in its failure
 * form with error 997. */
#ifndef FPBRIDGE_NBIO_API_H
#define FPBRIDGE_NBIO_API_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Bytes of a status record's message buffer. */
#define FPBRIDGE_MESSAGE_SIZE 1024
/* The longest packed template text a capture returns, without its NUL; also
 * the most bytes ExecInClientDLL writes into its result buffer. */
#define FPBRIDGE_TEMPLATE_TEXT_MAX 6848
/* Room for an ExecInClientDLL command line of ten pairs of the longest
 * templates: the word, twenty separators, ten one-character kind markers, ten
 * texts and the NUL. */
#define FPBRIDGE_COMMAND_LINE_ROOM (16 + 20 + 10 + 10 * FPBRIDGE_TEMPLATE_TEXT_MAX + 1)

#ifndef FPBRIDGE_BIO_STATUS
#define FPBRIDGE_BIO_STATUS
/* The outcome of one operation. The caller allocates the record and its
 * FPBRIDGE_MESSAGE_SIZE-byte message buffer, zero-filled, and frees both. */
typedef struct BioStatus {
    int32_t operation; /* set it to 0 */
    bool success;      /* the operation completed */
    bool matched;      /* the fingerprints are the same finger */
    int32_t error;     /* 0, or the failure's code */
    char* message;     /* NUL-terminated failure text, "" when none */
} BioStatus;
#endif

/* The library's own per-operation record; clients pass NULL. */
typedef struct BioTask BioTask;

/* Starts an SDK instance (and opens the reader when openDevice is nonzero):
 * 0 on success, 1 on failure, 998 when busy. Needed only before FK_Convert;
 * every other operation starts and ends its own. */
int32_t FK_Init(uint8_t openDevice, BioTask* task);
/* Ends what FK_Init started (closing the reader when closeDevice is nonzero):
 * 0, or -1 when nothing is open or when busy. */
int32_t FK_Close(int32_t closeDevice);
/* No reader serial in this bridge: always 0, out untouched. */
int32_t FK_DeviceSerial(char* out);
/* Template format of later captures and matches: 2 FDx data (ISO, format 35),
 * 3 keeps the current choice, anything else the SDK's text-encoded FIR.
 * Ignored when busy. */
void FK_SetAuthType(int32_t type);

/* Captures one finger in the "KAVRO - Biometria" window, on the calling
 * thread: the packed template text (at most FPBRIDGE_TEMPLATE_TEXT_MAX
 * characters), or a text starting with "ERROR - " that says what failed (also
 * when busy). With FDx templates (FK_SetAuthType(2)) a capture whose
 * conversion failed gives an empty text: no template either. Reads neither
 * argument. Release the text with FK_FreeText. */
char* FK_Capture(const char* input, int32_t mode);
/* The same capture as FK_Capture. Release the text with FK_FreeText. */
char* FK_VerifyServer(void);

/* Captures a live finger and compares it with the stored template: 1 on a
 * match, else 0 (failures and busy included). */
int32_t FK_Verify(const char* kind, const char* stored);
/* Compares two templates without the reader: 1 on a match, else 0. With a
 * status, the outcome is copied into it field by field, the message pointer
 * included: status->message then points to the library's message buffer,
 * which becomes yours to release with FK_FreeText. A buffer you had put there
 * is left untouched and stays yours to free. NULL asks for no status. When
 * busy: 0, and the status says error 998. */
int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* status);
/* FK_VerifyMatch of two packed template texts, without status (and, when that
 * does not match, of the stored one as native text): 1 or 0 (also when busy). */
int32_t FK_Match(const char* stored, const char* verify);
/* Captures a live finger and matches it with a packed template text: 1 match,
 * 0 no match, -1 when the capture failed or when busy. */
int32_t FK_CaptureAndVerify(const char* stored);
/* Writes "false#false#0#" into out (outSize at least 64) when argc >= 2 and
 * argv[0] is a text; always returns 0. */
int32_t FK_VerifyMcsNitGen(char** argv, int32_t argc, char* out, int32_t outSize);

/* With the instance FK_Init started. Direction 1: FDx bytes (data, *size of
 * them, formatType) to a new SDK FIR handle. Other directions: the FIR handle
 * at data to FDx bytes, their length in *size; the bytes stay the library's
 * until the next conversion or FK_Close. 0 on failure and when busy. */
intptr_t FK_Convert(int32_t direction, void* data, int32_t* size, int32_t formatType);

/* Releases a text or a message buffer that the library handed you (FK_Capture,
 * FK_VerifyServer, FK_VerifyMatch's status->message), whatever C runtime your
 * program uses. NULL is ignored. */
void FK_FreeText(char* text);

/* One command line for the library: a command word, then fields each preceded
 * by the byte 0x01, the fields pairing up as (kind marker, template text); pair
 * 0 is the stored template, the others (up to nine) candidates. The line is
 * changed in place: separators become NUL, the word upper case. Commands, by
 * the word's beginning:
 *   ENROLL     a capture; result: its text (as FK_Capture)
 *   CAPTURAR   the same capture
 *   VERIFICAR  FK_Verify with pair 0 (a lone field: the template, without
 *              kind marker); result: "1" or "0"
 *   MATCH      pair 0 against each candidate until one matches; result: "1"
 *              and the candidate's number, or "00" and the last status message
 * The whole line is one operation. When busy the result says so: the busy text
 * for ENROLL and CAPTURAR, "0" and it for VERIFICAR, "00" and it for MATCH.
 * The result text is copied into result without NUL (room for
 * FPBRIDGE_TEMPLATE_TEXT_MAX bytes; the line itself may need
 * FPBRIDGE_COMMAND_LINE_ROOM) and
 * its length stored in *resultLength; an unknown word writes nothing. Returns
 * 1; -1 for MATCH without a pair (result "ERROR - Invalid parameters : 'MATCH'")
 * and for a NULL line, result or resultLength (then nothing is touched).
 * leading and trailing only reach the operation log. */
int32_t ExecInClientDLL(int32_t leading, char* commandLine, int32_t trailing, char* result, int32_t* resultLength);

/* Debug switch, kept for compatibility: this bridge writes no debug trace.
 * Returns the stored value. */
int32_t __SetKavroBioDebug(uint8_t value);

#ifdef __cplusplus
}
#endif

#endif
