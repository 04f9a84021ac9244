// Fuzz target: FK_VerifyMatch of fpbridge_nbio end to end, over the simulated
// reader's SDK functions: both kind markers and both texts come from the
// input, and so does the template form (the first byte: odd for FDx, even for
// text-encoded FIRs).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "NBioSim.h"
#include "fir_formats.h"
#include "fpbridge_nbio.h"
#include "module_name.h"
#include "nbio_template_text.h"
#include "template_fuzz_support.h"

namespace {

// The finger a template argument carries, read as the SDK would be handed it
// and decoded by the simulated reader's own formats; none when it carries none.
std::optional<uint8_t> FingerOf(const MarkedText& argument, bool fdx) {
    if (!argument.get()) return std::nullopt;
    TemplateBytes bytes;
    if (ReadTemplate(argument.marker(), argument.get(), &bytes) != TemplateFault::kNone) return std::nullopt;
    const std::optional<nbiosim::FingerTemplate> read =
        fdx ? nbiosim::DecodeFdx(reinterpret_cast<const uint8_t*>(bytes.data.data()),
                                 static_cast<size_t>(bytes.length), nbiosim::kFdxFormatIso)
            : nbiosim::DecodeTextFir(bytes.data.data());
    if (!read) return std::nullopt;
    return read->finger;
}

bool NothingLive() {
    NBioSimCounters live{};
    NBioSim_GetCounters(&live);
    return live.instances == 0 && live.devices == 0 && live.firHandles == 0 && live.textFirs == 0 &&
           live.exports == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = (AllocateModuleName(), true);
    if (!loaded || !QuietCodecReady() || size < 1 || size > 64 * 1024) return 0;
    const bool fdx = data[0] % 2 == 1;
    const ComparisonInput input(data + 1, size - 1, kNbioEnvelope);
    FK_SetAuthType(fdx ? 2 : 1);

    BioStatus status{};
    const int32_t result =
        FK_VerifyMatch(input.stored.marker(), input.stored.get(), input.verify.marker(), input.verify.get(), &status);

    RequireComparisonOutcome(result, status, [&] {
        const std::optional<uint8_t> stored = FingerOf(input.stored, fdx);
        return stored && stored == FingerOf(input.verify, fdx);
    });
    Require(NothingLive(), "every SDK object is released when the comparison ends");
    FK_FreeText(status.message);
    return 0;
}
