// The exports of fpbridge_nbio.dll, the NITGEN reader bridge, for native clients.
// Texts returned by the library are allocated with calloc: free them with free().
#pragma once

#include <cstdint>

#include "bio_status.h"
#include "nbio_task.h"

extern "C" {

// Starts an SDK instance (and opens the reader when openDevice is true) with the
// messages going into task->status; 0 on success, 1 on failure. The instance
// stays open until FK_Close or the next operation.
int32_t FK_Init(uint8_t openDevice, BioTask* task);
// Ends the instance FK_Init opened: 0, or -1 when none is open.
int32_t FK_Close(int32_t closeDevice);
// The NITGEN bridge reports no reader serial: always 0, `out` untouched.
int32_t FK_DeviceSerial(char* out);
// 2 selects FDx templates (format 35), 3 keeps the current choice, anything
// else the SDK's text-encoded FIR.
void FK_SetAuthType(int32_t type);

// Captures one finger in the capture window: the packed template text, or a
// 512-byte text holding the failure message ("ERROR - ...").
char* FK_Capture(const char* input, int32_t mode);
char* FK_VerifyServer(void);

// 1 when the live finger matches the stored template, else 0.
int32_t FK_Verify(const char* kind, const char* stored);
// 1 when the two templates match, else 0; the outcome goes to statusOut when
// given: its message buffer receives the text, or, when it has none, it receives
// the operation's buffer (calloc; free it with free()).
int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* statusOut);
int32_t FK_Match(const char* stored, const char* verify);
// 1 match, 0 no match, -1 when the capture failed.
int32_t FK_CaptureAndVerify(const char* stored);
// Writes "false#false#0#" into out (at least 64 bytes); always 0.
int32_t FK_VerifyMcsNitGen(char** argv, int32_t argc, char* out, int32_t outSize);

// Direction 1: FDx bytes (size: their length) to a new FIR handle. Any other
// direction: the FIR handle at `data` to FDx bytes, whose length goes to *size.
// 0 on failure. Uses the instance that FK_Init opened.
intptr_t FK_Convert(int32_t direction, void* data, int32_t* size, int32_t formatType);
}
