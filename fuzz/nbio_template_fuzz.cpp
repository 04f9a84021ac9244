// Fuzz target: the kind marker and template text of a NITGEN comparison read
// into the bytes handed to the SDK.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "nbio_template_text.h"
#include "template_fuzz_support.h"
#include "template_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!QuietCodecReady() || size > 64 * 1024) return 0;
    const MarkedText argument(data, size, kNbioEnvelope);
    TemplateBytes bytes;
    if (ReadTemplate(argument.marker(), argument.text.c_str(), &bytes) != TemplateFault::kNone) return 0;

    Require(
        bytes.length >= 0 && bytes.data.size() == static_cast<size_t>(bytes.length) + 1 && bytes.data.back() == '\0',
        "the SDK is handed `length` bytes and a NUL after them");
    if (IsNativeKind(argument.marker())) {
        Require(std::strcmp(bytes.data.data(), argument.text.c_str()) == 0, "native text is handed on as it is");
    } else {
        Require(bytes.length > 0 && bytes.length <= kCodecBufferSize,
                "a packed text reads to a template the unpack buffer holds");
    }
    return 0;
}
