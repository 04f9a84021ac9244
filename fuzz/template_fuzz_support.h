// What the fuzz targets of template arguments share: the quiet codec and the
// layout of a kind marker and its text in one input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "alert.h"
#include "fuzz_support.h"
#include "template_codec.h"

// The codec's work buffers, with its alert boxes silenced: damaged streams,
// expected here by the million, each raise one, and they are not findings.
inline bool QuietCodecReady() {
    static const bool ready = (SetAlertSink([](const char*) {}), CodecAllocateBuffers());
    return ready;
}

// A template argument as one input: the kind marker, a NUL and the text. An
// input without a NUL is a text with no marker at all.
struct MarkedText {
    MarkedText(const uint8_t* data, size_t size) : input(reinterpret_cast<const char*>(data), size) {
        const size_t split = input.find('\0');
        hasMarker = split != std::string::npos;
        kind = hasMarker ? input.substr(0, split) : std::string();
        text = hasMarker ? input.substr(split + 1) : input;
    }
    const char* marker() const { return hasMarker ? kind.c_str() : nullptr; }

    std::string input;
    bool hasMarker;
    std::string kind;
    std::string text;  // the bridges read it up to its first NUL
};
