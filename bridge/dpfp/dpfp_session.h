// What every operation of the DigitalPersona bridge shares: the SDK session,
// the task's contexts and the texts of the SDK's result codes.
#pragma once

#include <cstdint>

#include "dpfp_task.h"

constexpr char kDpfpModuleName[] = "fpbridge_dpfp.dll";
// Room for the longest result text and its NUL.
constexpr int kResultTextSize = 128;

// The message for an SDK result code.
void GetResultText(int32_t code, char* out);

// Closes the task's extraction and comparison contexts where they are open.
void CloseTaskContexts(BioTask* task);
