// Fuzz target: the kind marker and template text of a DigitalPersona
// comparison read into template bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dpfp_template_text.h"
#include "template_fuzz_support.h"
#include "template_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!QuietCodecReady() || size > 64 * 1024) return 0;
    const MarkedText argument(data, size, kDpfpEnvelope);
    std::vector<uint8_t> bytes;
    int32_t unpackedSize = -1;
    if (!ReadTemplate(argument.marker(), argument.text.c_str(), &bytes, &unpackedSize)) return 0;

    if (IsNativeKind(argument.marker())) {
        Require(!bytes.empty() && std::string(bytes.begin(), bytes.end()) == argument.text.c_str(),
                "native text is read as it is, and an empty one is no template");
    } else {
        Require(
            unpackedSize > 0 && unpackedSize <= kCodecBufferSize && bytes.size() == static_cast<size_t>(unpackedSize),
            "a packed text reads to exactly the length its header announces");
    }
    return 0;
}
