// The two steps every comparison of the DigitalPersona bridge uses.
#pragma once

#include <cstdint>

#include "dpfp_task.h"

// Sets the task's verify length to the module's verification feature-set size;
// with a sample, also extracts the verification feature set from it.
void TemplateToVerify(const uint8_t* data, uint32_t size, BioTask* task);

// TemplateToVerify, then the comparison of the verification feature set with
// the task's template, reported through the task's status.
void Verify(const uint8_t* data, uint32_t size, BioTask* task);
