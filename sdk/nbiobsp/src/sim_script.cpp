#include "sim_script.h"

#include "finger_template.h"

namespace nbiosim {
namespace {

using simsdk::ParseNumber;

std::optional<std::vector<uint32_t>> ParseList(std::string_view text) {
    return simsdk::ParseList<uint32_t>(text, ParseNumber);
}

ValueQueue* ResultQueueFor(std::string_view key, SimSettings& s) {
    if (key == "init") return &s.init;
    if (key == "open") return &s.open;
    if (key == "textfir") return &s.textfir;
    if (key == "freetext") return &s.freetext;
    if (key == "tofdx") return &s.tofdx;
    if (key == "fromfdx") return &s.fromfdx;
    if (key == "verify") return &s.verify;
    if (key == "verifymatch") return &s.verifymatch;
    if (key == "capture") return &s.capture;
    return nullptr;
}

bool ApplyItem(std::string_view key, std::string_view value, SimSettings& s) {
    if (ValueQueue* queue = ResultQueueFor(key, s)) {
        auto values = ParseList(value);
        if (!values) return false;
        *queue = ValueQueue(std::move(*values));
        return true;
    }
    if (key == "finger") {
        auto values = ParseList(value);
        if (!values) return false;
        for (uint32_t f : *values) {
            if (!IsValidFinger(f)) return false;
        }
        s.finger = ValueQueue(std::move(*values));
        return true;
    }
    const auto number = ParseNumber(value);
    if (!number) return false;
    if (key == "delay") {
        s.delayMs = *number;
    } else if (key == "timeout") {
        s.timeoutMs = *number;
    } else if (key == "cancel") {
        s.cancelMs = *number;
    } else if (key == "session") {
        s.session = *number;
    } else if (key == "block" && *number <= 1) {
        s.block = *number == 1;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ApplyScript(std::string_view script, SimSettings& settings) {
    return simsdk::ApplyAllOrNothing(script, settings, ApplyItem);
}

}  // namespace nbiosim
