// Fuzz target: a hostile packed template text through decode, header checks
// and unpack, in every envelope layout.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "template_codec.h"
#include "template_fuzz_support.h"
#include "template_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!QuietCodecReady() || size > 64 * 1024) return 0;
    const TemplateInput input(std::string(reinterpret_cast<const char*>(data), size));

    for (const EnvelopeLayout& layout : kEnvelopeLayouts) {
        const std::string text = input.text(layout);
        const int32_t length = static_cast<int32_t>(text.size());

        // Decode64 into exactly the room it is documented to need.
        std::vector<unsigned char> exact(static_cast<size_t>(Decode64Capacity(length)));
        int32_t decoded = length;
        Decode64(text.data(), exact.data(), &decoded);

        DecodedEnvelope envelope;
        DecodeEnvelope(text.data(), length, layout, &envelope);
        if (input.byMeaning()) {
            Require(envelope.header.packedSize == input.header().packedSize &&
                        envelope.header.unpackedSize == input.header().unpackedSize,
                    "a layout reads back the sizes it was written with");
        }
        std::vector<unsigned char> out;
        if (UnpackEnvelope(envelope, &out)) {
            Require(out.size() == static_cast<size_t>(envelope.header.unpackedSize),
                    "an unpacked template has the length its header announces");
        }
    }
    return 0;
}
