// What the fuzz targets of template texts share: the quiet codec, envelopes
// described by meaning, and the layout of a kind marker and its text in one
// input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "alert.h"
#include "bio_status.h"
#include "fuzz_support.h"
#include "template_codec.h"
#include "template_text.h"

// The codec's work buffers, with its alert boxes silenced: damaged streams,
// expected here by the million, each raise one, and they are not findings.
inline bool QuietCodecReady() {
    static const bool ready = (SetAlertSink([](const char*) {}), CodecAllocateBuffers());
    return ready;
}

// A template text as an input. One that starts with kByMeaning describes an
// envelope by meaning: the header's four numbers (packed size, unpacked size,
// image width, image height; 32-bit little-endian) and then the stream. It
// stands for that envelope's text in whichever layout is asked for, so such
// seeds hold for every layout, a new one included. Any other input is the
// text itself (a Base64 text never starts with that byte).
constexpr char kByMeaning = '\x01';

class TemplateInput {
public:
    explicit TemplateInput(std::string input) : m_input(std::move(input)) {
        if (m_input.empty() || m_input[0] != kByMeaning) return;
        m_byMeaning = true;
        unsigned char numbers[kEnvelopeHeaderSize] = {};
        std::memcpy(numbers, m_input.data() + 1, std::min<size_t>(m_input.size() - 1, sizeof numbers));
        // Read back through the layout that carries all four numbers in this order.
        static constexpr EnvelopeLayout kInOrder = {
            "in order",
            {HeaderField::kPackedSize, HeaderField::kUnpackedSize, HeaderField::kImageWidth, HeaderField::kImageHeight}};
        m_header = EnvelopeHeader::Read(kInOrder, numbers);
        if (m_input.size() > 1 + sizeof numbers) m_stream.assign(m_input.begin() + 1 + sizeof numbers, m_input.end());
    }

    bool byMeaning() const { return m_byMeaning; }
    const EnvelopeHeader& header() const { return m_header; }
    // The text in `layout`.
    std::string text(const EnvelopeLayout& layout) const {
        return m_byMeaning ? EnvelopeText(layout, m_header, m_stream) : m_input;
    }

private:
    std::string m_input;
    bool m_byMeaning = false;
    EnvelopeHeader m_header;
    std::vector<unsigned char> m_stream;
};

// A template argument as one input: the kind marker, a NUL and the text (a
// TemplateInput). An input without a NUL is a text with no marker at all; the
// single byte kAbsent is no text and no marker.
constexpr char kAbsent = '\x7F';

struct MarkedText {
    MarkedText(const uint8_t* data, size_t size, const EnvelopeLayout& layout)
        : MarkedText(std::string(reinterpret_cast<const char*>(data), size), layout) {}
    MarkedText(const std::string& input, const EnvelopeLayout& layout) {
        absent = input.size() == 1 && input[0] == kAbsent;
        const size_t split = input.find('\0');
        hasMarker = split != std::string::npos;
        kind = hasMarker ? input.substr(0, split) : std::string();
        text = TemplateInput(hasMarker ? input.substr(split + 1) : input).text(layout);
    }
    const char* marker() const { return hasMarker ? kind.c_str() : nullptr; }
    // The text as an export is handed it: null when absent.
    const char* get() const { return absent ? nullptr : text.c_str(); }

    bool absent = false;
    bool hasMarker;
    std::string kind;
    std::string text;  // the bridges read it up to its first NUL
};

// The two template arguments of a comparison in one input: the stored one,
// kArgumentBreak, then the one to verify. Without the break the one to verify
// is absent.
constexpr char kArgumentBreak[] = "#VERIFY#";

struct ComparisonInput {
    ComparisonInput(const uint8_t* data, size_t size, const EnvelopeLayout& layout)
        : ComparisonInput(std::string(reinterpret_cast<const char*>(data), size), layout) {}
    ComparisonInput(const std::string& input, const EnvelopeLayout& layout)
        : stored(input.substr(0, input.find(kArgumentBreak)), layout),
          verify(input.find(kArgumentBreak) == std::string::npos
                     ? std::string(1, kAbsent)
                     : input.substr(input.find(kArgumentBreak) + sizeof kArgumentBreak - 1),
                 layout) {}

    MarkedText stored;
    MarkedText verify;
};

// What every comparison hands back, whatever its texts: a terminated message
// of the caller's own, a result that agrees with the status, and a match only
// from a comparison that ran, between two texts that `carryOneFinger`.
template <class CarryOneFinger>
void RequireComparisonOutcome(int32_t result, const BioStatus& status, CarryOneFinger carryOneFinger) {
    Require(status.message && std::memchr(status.message, '\0', kBioMessageSize),
            "the caller is handed a terminated message of its own");
    Require(result == (status.matched ? 1 : 0), "the result and the status agree");
    Require(result == 0 || status.success, "a match is a comparison that ran");
    Require(result == 0 || carryOneFinger(), "never a match unless both texts carry one finger");
}
