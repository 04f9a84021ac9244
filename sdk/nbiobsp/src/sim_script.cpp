#include "sim_script.h"

#include <string>

#include "finger_template.h"

namespace nbiosim {
namespace {

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    }
    return out;
}

// Decimal, or hexadecimal after "0x" (codes such as 0x203 read better so).
std::optional<uint32_t> ParseNumber(std::string_view text) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::optional<std::vector<uint32_t>> ParseList(std::string_view text) {
    std::vector<uint32_t> values;
    while (true) {
        const size_t comma = text.find(',');
        const auto value = ParseNumber(text.substr(0, comma));
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string_view::npos) return values;
        text.remove_prefix(comma + 1);
    }
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
    const std::string text = WithoutBlanks(script);
    SimSettings changed = settings;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string_view item = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (item.empty()) continue;
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) return false;
        if (!ApplyItem(item.substr(0, equals), item.substr(equals + 1), changed)) return false;
    }
    settings = std::move(changed);
    return true;
}

}  // namespace nbiosim
