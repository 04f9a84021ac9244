// Settings of the simulated DigitalPersona reader and the script language that
// changes them (documented for users in DPFPSim.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simsdk/script_tokens.h"

namespace dpfpsim {

using ResultQueue = simsdk::ValueQueue<int32_t>;

// One item of `events=`: what an acquisition posts next, and after how long.
struct ScriptedEvent {
    enum class Type {
        kPlain,   // kind and lParam as given
        kSample,  // kind 0 with a sample of the next finger
        kNoData,  // kind 0 with a sample record without data
        kHold,    // posts nothing, ever again
        kCancel,  // the user presses the window's Cancel button
    };
    Type type = Type::kPlain;
    uint32_t kind = 0;
    int32_t data = 0;                 // lParam of a plain event (the code of an error)
    std::optional<uint32_t> delayMs;  // none: the `delay` in force when the acquisition starts
    // No pause at all: DPFPStartAcquisition itself hands the event to the
    // window and returns once the window has taken it. Only the first items
    // of a list can be; they are never posted again.
    bool atOnce = false;
};

struct SimSettings {
    // DPFPInit answers 1 while a session is active and 0 otherwise, unless
    // `init=` says otherwise.
    std::optional<ResultQueue> init;
    ResultQueue enumerate{0};
    ResultQueue deviceInfo{0};
    ResultQueue create{0};
    ResultQueue start{0};
    ResultQueue bitmap{0};
    ResultQueue fxInit{0};
    ResultQueue fxTerminate{0};
    ResultQueue mcInit{0};
    ResultQueue mcTerminate{0};
    ResultQueue fxLength{0};
    ResultQueue mcLength{0};
    ResultQueue extract{0};
    ResultQueue generate{0};
    ResultQueue verify{0};
    ResultQueue created{1};

    // Told as they are, however odd: a caller must cope with what the module says.
    int32_t needed = 4;
    int32_t preRegistrationLength = 512;
    int32_t registrationLength = 1024;
    int32_t verificationLength = 384;

    std::vector<std::string> devices{"DPSIM-0001"};
    simsdk::ValueQueue<uint32_t> finger{1};
    std::vector<ScriptedEvent> events{
        {ScriptedEvent::Type::kPlain, 5, 0, std::nullopt},
        {ScriptedEvent::Type::kSample, 0, 0, std::nullopt},
        {ScriptedEvent::Type::kPlain, 6, 0, std::nullopt},
    };
    uint32_t delayMs = 10;
    uint32_t session = 0;  // sets apart the samples of separate runs
};

// Applies "key=value;key=value" items to `settings`. All or nothing: on a
// malformed script it returns false and leaves `settings` as they were.
bool ApplyScript(std::string_view script, SimSettings& settings);

}  // namespace dpfpsim
