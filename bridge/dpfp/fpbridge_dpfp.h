// The exports of fpbridge_dpfp.dll, the DigitalPersona reader bridge.
// Texts returned by the library are allocated with calloc: free them with free().
#pragma once

#include <cstdint>

#include "bio_status.h"

struct BioTask;

// Room a caller gives FK_DeviceSerial.
constexpr int kDeviceSerialSize = 128;

extern "C" {

// Starts the SDK session with its messages going into task->status; 0 when the
// session is ready, else the failing init call's result. Each operation of the
// library opens and ends its own session; FK_Close ends it.
int32_t FK_Init(uint8_t mode, BioTask* task);
// Ends the session whatever FK_Init achieved: 1 when both modules ended cleanly, else 0.
int32_t FK_Close(void);
// The serial number of the last attached reader, as a terminated text in the
// caller's 128 bytes (empty without a reader): 0, or 1 when `out` is null or
// the readers cannot be listed.
int32_t FK_DeviceSerial(char* out);
// No effect in this bridge.
void FK_SetAuthType(int32_t type);
// No template conversion in this bridge: always 0.
intptr_t FK_Convert(int32_t direction, void* data, int32_t* size, int32_t formatType);

// Enrolls a finger from the samples the comparison module asks for: the packed
// template text, or a 512-byte text holding the failure message (empty after a
// cancel). Reads no arguments.
char* FK_Capture(const char* input, int32_t mode);
// One live finger as packed template text of its verification feature set, or a
// 256-byte failure text "ERROR - <code>" ("ERROR - 999" after a cancel, further
// detail after " - " for other failures), or null when the SDK cannot start.
char* FK_VerifyServer(void);
// A live finger against a stored template: 1 on a match, else 0 (a cancelled
// capture included).
int32_t FK_Verify(const char* tpStored, const char* FkStored);
// 1 when the live template matches the stored one, else 0. A kind marker that
// starts with 'N' marks native text, anything else packed template text. The
// outcome goes to statusOut when given: its message buffer receives the text,
// or, when it has none, it receives the operation's buffer (calloc; free it).
int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* statusOut);
// texts[0] the live template, texts[1..count-1] stored ones (a null entry ends
// the list early): 1 when one matches, else 0. Writes the status text
// "success#matched#error#message" into out (at most outSize bytes; nothing when
// outSize is below 64).
int32_t FK_VerifyMcsDigital(char** texts, int32_t count, char* out, int32_t outSize);
}
