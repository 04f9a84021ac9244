// Settings of the simulated reader and the script language that changes them
// (documented for users in NBioSim.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "simsdk/script_tokens.h"

namespace nbiosim {

using ValueQueue = simsdk::ValueQueue<uint32_t>;

struct SimSettings {
    ValueQueue init{0};
    ValueQueue open{0};
    ValueQueue textfir{0};
    ValueQueue freetext{0};
    ValueQueue tofdx{0};
    ValueQueue fromfdx{0};
    ValueQueue verify{0};
    ValueQueue verifymatch{0};
    ValueQueue capture{0};
    ValueQueue finger{1};
    uint32_t delayMs = 0;
    bool block = false;
    std::optional<uint32_t> timeoutMs;  // replaces the caller's time-out when set
    std::optional<uint32_t> cancelMs;   // this long into each capture the user presses Cancel
    uint32_t session = 0;               // sets apart the readings of separate runs
};

// Applies "key=value;key=value" items to `settings`. All or nothing: on a
// malformed script it returns false and leaves `settings` as they were.
bool ApplyScript(std::string_view script, SimSettings& settings);

}  // namespace nbiosim
