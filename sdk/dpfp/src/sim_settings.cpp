#include "sim_settings.h"

#include "feature_sets.h"

namespace dpfpsim {
namespace {

using simsdk::ParseNumber;
using simsdk::ParseSignedNumber;

std::optional<std::vector<int32_t>> ParseResults(std::string_view text) {
    return simsdk::ParseList<int32_t>(text, ParseSignedNumber);
}

ResultQueue* ResultQueueFor(std::string_view key, SimSettings& s) {
    if (key == "enumerate") return &s.enumerate;
    if (key == "deviceinfo") return &s.deviceInfo;
    if (key == "create") return &s.create;
    if (key == "start") return &s.start;
    if (key == "bitmap") return &s.bitmap;
    if (key == "fxinit") return &s.fxInit;
    if (key == "fxterm") return &s.fxTerminate;
    if (key == "mcinit") return &s.mcInit;
    if (key == "mcterm") return &s.mcTerminate;
    if (key == "fxlen") return &s.fxLength;
    if (key == "mclen") return &s.mcLength;
    if (key == "extract") return &s.extract;
    if (key == "generate") return &s.generate;
    if (key == "verify") return &s.verify;
    if (key == "created") return &s.created;
    return nullptr;
}

int32_t* LengthFor(std::string_view key, SimSettings& s) {
    if (key == "needed") return &s.needed;
    if (key == "prereglen") return &s.preRegistrationLength;
    if (key == "reglen") return &s.registrationLength;
    if (key == "verifylen") return &s.verificationLength;
    return nullptr;
}

// "name[:argument][@milliseconds]".
std::optional<ScriptedEvent> ParseEvent(std::string_view text) {
    ScriptedEvent event;
    const size_t at = text.find('@');
    if (at != std::string_view::npos) {
        if (text.substr(at + 1) == "now") {
            event.atOnce = true;
        } else {
            const auto delay = ParseNumber(text.substr(at + 1));
            if (!delay) return std::nullopt;
            event.delayMs = *delay;
        }
        text = text.substr(0, at);
    }
    const size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const std::optional<std::string_view> argument =
        colon == std::string_view::npos ? std::nullopt : std::optional(text.substr(colon + 1));

    if (name == "error" || name == "kind") {
        if (!argument) return std::nullopt;
        if (name == "error") {
            const auto code = ParseSignedNumber(*argument);
            if (!code) return std::nullopt;
            event.kind = 1;
            event.data = *code;
        } else {
            const auto kind = ParseNumber(*argument);
            if (!kind) return std::nullopt;
            event.kind = *kind;
        }
        return event;
    }
    if (argument) return std::nullopt;

    struct Named {
        std::string_view name;
        ScriptedEvent::Type type;
        uint32_t kind;
    };
    static constexpr Named kNamed[] = {
        {"touch", ScriptedEvent::Type::kPlain, 5},   {"sample", ScriptedEvent::Type::kSample, 0},
        {"nodata", ScriptedEvent::Type::kNoData, 0}, {"gone", ScriptedEvent::Type::kPlain, 6},
        {"ready", ScriptedEvent::Type::kPlain, 7},   {"disconnect", ScriptedEvent::Type::kPlain, 2},
        {"connect", ScriptedEvent::Type::kPlain, 3}, {"stop", ScriptedEvent::Type::kPlain, 10},
        {"hold", ScriptedEvent::Type::kHold, 0},     {"cancel", ScriptedEvent::Type::kCancel, 0},
    };
    for (const Named& named : kNamed) {
        if (name != named.name) continue;
        // A delay before "nothing more" would mean nothing.
        if (named.type == ScriptedEvent::Type::kHold && (event.delayMs || event.atOnce)) return std::nullopt;
        event.type = named.type;
        event.kind = named.kind;
        return event;
    }
    return std::nullopt;
}

std::optional<std::vector<ScriptedEvent>> ParseEvents(std::string_view text) {
    std::vector<ScriptedEvent> events;
    for (std::string_view part : simsdk::SplitList(text)) {
        // "hold" ends the list: nothing after it could ever be posted.
        if (!events.empty() && events.back().type == ScriptedEvent::Type::kHold) return std::nullopt;
        const auto event = ParseEvent(part);
        if (!event) return std::nullopt;
        // Events at once come first: after a pause, "at once" has no meaning.
        if (event->atOnce && !events.empty() && !events.back().atOnce) return std::nullopt;
        events.push_back(*event);
    }
    return events;
}

std::optional<std::vector<std::string>> ParseDevices(std::string_view text) {
    std::vector<std::string> serials;
    if (text.empty()) return serials;
    for (std::string_view part : simsdk::SplitList(text)) {
        if (part.empty()) return std::nullopt;
        serials.emplace_back(part);
    }
    return serials;
}

bool ApplyItem(std::string_view key, std::string_view value, SimSettings& s) {
    if (key == "init") {
        auto values = ParseResults(value);
        if (!values) return false;
        s.init.emplace(std::move(*values));
        return true;
    }
    if (ResultQueue* queue = ResultQueueFor(key, s)) {
        auto values = ParseResults(value);
        if (!values) return false;
        *queue = ResultQueue(std::move(*values));
        return true;
    }
    if (int32_t* length = LengthFor(key, s)) {
        const auto number = ParseSignedNumber(value);
        if (!number) return false;
        *length = *number;
        return true;
    }
    if (key == "finger") {
        auto values = simsdk::ParseList<uint32_t>(value, ParseNumber);
        if (!values) return false;
        for (uint32_t f : *values) {
            if (!IsValidFinger(f)) return false;
        }
        s.finger = simsdk::ValueQueue<uint32_t>(std::move(*values));
        return true;
    }
    if (key == "events") {
        auto events = ParseEvents(value);
        if (!events) return false;
        s.events = std::move(*events);
        return true;
    }
    if (key == "devices") {
        auto devices = ParseDevices(value);
        if (!devices) return false;
        s.devices = std::move(*devices);
        return true;
    }
    const auto number = ParseNumber(value);
    if (!number) return false;
    if (key == "delay") {
        s.delayMs = *number;
    } else if (key == "session") {
        s.session = *number;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ApplyScript(std::string_view script, SimSettings& settings) {
    return simsdk::ApplyAllOrNothing(script, settings, ApplyItem);
}

}  // namespace dpfpsim
