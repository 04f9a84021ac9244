// Template arguments of the NITGEN matching operations, kind marker + text, read
// into template bytes. Plain C++ without the SDK, so that it is fuzzed natively.
#pragma once

#include <cstdint>
#include <vector>

// Template bytes ready for the SDK, NUL-terminated so that a text-encoded FIR
// can be handed over as text.
struct TemplateBytes {
    std::vector<char> data;
    int32_t length = 0;
};

enum class TemplateFault {
    kNone,
    kDecode,  // the envelope's packed size disagrees with the decoded bytes
    kSizes,   // packed or unpacked size zero, negative, or beyond the unpack buffer
    kMemory,
};

// A kind marker starting with 'N' marks native text, used as it is; anything
// else, an absent marker included, marks packed template text, which is decoded
// and unpacked. A stream that does not unpack is still handed on: the SDK decides.
TemplateFault ReadTemplate(const char* kind, const char* text, TemplateBytes* out);
