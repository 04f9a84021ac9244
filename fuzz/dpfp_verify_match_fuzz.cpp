// Fuzz target: FK_VerifyMatch of fpbridge_dpfp end to end, over the simulated
// reader's SDK functions, with its records written: both kind markers and both
// texts come from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "DPFPSim.h"
#include "dpfp_template_text.h"
#include "feature_sets.h"
#include "fpbridge_dpfp.h"
#include "module_name.h"
#include "template_fuzz_support.h"

namespace {

// The finger a template argument carries, read as the modules would be handed
// it and decoded by the simulated modules' own format; none when it carries none.
std::optional<uint8_t> FingerOf(const MarkedText& argument) {
    std::vector<uint8_t> bytes;
    if (!argument.get() || !ReadTemplate(argument.marker(), argument.get(), &bytes, nullptr)) return std::nullopt;
    const std::optional<dpfpsim::FeatureFacts> read =
        dpfpsim::ReadFeatures(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (!read) return std::nullopt;
    return read->finger;
}

bool NothingLive() {
    DPFPSimCounters live{};
    DPFPSim_GetCounters(&live);
    return live.readerSessions == 0 && live.fxSessions == 0 && live.mcSessions == 0 && live.fxContexts == 0 &&
           live.mcContexts == 0 && live.acquisitions == 0 && live.runningThreads == 0 && live.blocks == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = (AllocateModuleName(), true);
    if (!loaded || !QuietCodecReady() || size > 64 * 1024) return 0;
    const ComparisonInput input(data, size, kDpfpEnvelope);
    // Its records carry what the texts are: they are made and written too.
    const LoggedRun run;

    BioStatus status{};
    const int32_t result =
        FK_VerifyMatch(input.stored.marker(), input.stored.get(), input.verify.marker(), input.verify.get(), &status);

    RequireComparisonOutcome(result, status, [&] {
        const std::optional<uint8_t> stored = FingerOf(input.stored);
        return stored && stored == FingerOf(input.verify);
    });
    Require(NothingLive(), "the session and every context end with the comparison");
    FK_FreeText(status.message);
    return 0;
}
