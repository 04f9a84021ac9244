// Template arguments of the DigitalPersona comparisons, kind marker + text,
// read into template bytes. Plain C++ without the SDK, so that it is fuzzed
// natively.
#pragma once

#include <cstdint>
#include <vector>

// Template bytes from a text (not null): native text (IsNativeKind) as it is,
// packed template text decoded and unpacked to the length its header
// announces. False for an empty native text (an empty template is none) and
// when a packed text does not unpack to that length. `unpackedSize`, when given, is set to the length
// the header of a packed text announces.
bool ReadTemplate(const char* kind, const char* text, std::vector<uint8_t>* bytes, int32_t* unpackedSize);
