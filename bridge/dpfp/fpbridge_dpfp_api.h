/* fpbridge_dpfp.dll: the KAVRO Biometria bridge for DigitalPersona fingerprint
 * readers. Its C API for native clients; plain C (C99), also usable from C++.
 * Link with libfpbridge_dpfp.dll.a (MinGW) or fpbridge_dpfp.lib (MSVC); the
 * DigitalPersona SDK's DPFPApi.dll, dpHFtrEx.dll and dpHMatch.dll must lie
 * beside the library or on the search path.
 *
 * Templates travel as text, each with a kind marker: a marker whose first
 * character is 'N' marks native text, anything else (also "" or NULL) packed
 * template text, the form FK_Capture and FK_VerifyServer return.
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
 * FK_Verify, the ENROLL, CAPTURAR and VERIFICAR commands) block the calling
 * thread until the window closes and run its message loop there: make them
 * from a thread that may wait, never from a user interface thread that must
 * stay responsive. The window closed from outside (Alt+F4, a logoff, the
 * window destroyed, a WM_QUIT for the thread) ends the call as its "Cancelar"
 * button does: at once, FK_Capture giving "", FK_VerifyServer
 * "ERROR - 999" and FK_Verify 0.
 *
 * A failure inside the library (memory ran out) ends a call in its failure
 * form with error 997. */
#ifndef FPBRIDGE_DPFP_API_H
#define FPBRIDGE_DPFP_API_H

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
/* Bytes a caller gives FK_DeviceSerial. */
#define FPBRIDGE_DEVICE_SERIAL_SIZE 128

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

/* Starts the SDK: 0 when it is ready, else the failing SDK call's result, or
 * 998 when busy. Every operation starts and ends its own session; FK_Close
 * ends this one. */
int32_t FK_Init(uint8_t mode, BioTask* task);
/* Ends the SDK session: 1 when it ended cleanly, else 0 (also when busy: the
 * running operation's session is left alone). */
int32_t FK_Close(void);
/* The serial number of the last attached reader as a terminated text in the
 * caller's FPBRIDGE_DEVICE_SERIAL_SIZE bytes ("" without a reader): 0, or 1
 * when out is NULL, the readers cannot be listed, or when busy. */
int32_t FK_DeviceSerial(char* out);
/* No effect in this bridge. */
void FK_SetAuthType(int32_t type);
/* No template conversion in this bridge: always 0. */
intptr_t FK_Convert(int32_t direction, void* data, int32_t* size, int32_t formatType);

/* Enrolls a finger from the samples the SDK asks for, in the "KAVRO -
 * Biometria" window on the calling thread: the packed template text, or a
 * failure text ("" after the user cancelled; the busy text when busy). Reads
 * neither argument. Release the text with FK_FreeText. */
char* FK_Capture(const char* input, int32_t mode);
/* One live finger as packed template text, or a failure text "ERROR - <code>"
 * or "ERROR - <code> - <reason>" ("ERROR - 999" after a cancel, "ERROR - 998 -
 * ..." when busy), or NULL when the SDK cannot start. Release the text with
 * FK_FreeText. */
char* FK_VerifyServer(void);

/* Captures a live finger and compares it with the stored template: 1 on a
 * match, else 0 (failures, a cancel and busy included). */
int32_t FK_Verify(const char* tpStored, const char* FkStored);
/* Compares two templates without the reader: 1 on a match, else 0. With a
 * status, the outcome is copied into it field by field, the message pointer
 * included: status->message then points to the library's message buffer,
 * which becomes yours to release with FK_FreeText. A buffer you had put there
 * is left untouched and stays yours to free. NULL asks for no status. When
 * busy: 0, and the status says error 998. */
int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* status);
/* texts[0] a live packed template text, texts[1..count-1] stored ones (a NULL
 * entry ends the list early): 1 when one matches, else 0. Writes the status
 * text "success#matched#error#message" into out (at most outSize bytes;
 * nothing when outSize is below 64): "false#false#998#..." when busy. */
int32_t FK_VerifyMcsDigital(char** texts, int32_t count, char* out, int32_t outSize);

/* Releases a text or a message buffer that the library handed you (FK_Capture,
 * FK_VerifyServer, FK_VerifyMatch's status->message), whatever C runtime your
 * program uses. NULL is ignored. */
void FK_FreeText(char* text);

/* One command line for the library: a command word, then fields each preceded
 * by the byte 0x01, the fields pairing up as (kind marker, template text); pair
 * 0 is the stored template, the others (up to nine) candidates. The line is
 * changed in place: separators become NUL, the word upper case. Commands, by
 * the word's beginning:
 *   ENROLL     an enrollment; result: its text (as FK_Capture)
 *   CAPTURAR   the same enrollment
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

/* Switches the debug trace "biolog.txt" (current directory) on (nonzero) or
 * off (0); returns the stored value. */
int32_t __SetKavroBioDebug(uint8_t value);

#ifdef __cplusplus
}
#endif

#endif
