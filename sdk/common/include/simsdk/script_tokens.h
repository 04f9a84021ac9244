// The pieces of the script language that both simulated readers speak:
// "key=value" items separated by ';', blanks ignored, comma lists, numbers.
// Which keys exist and what their values mean is each reader's own business.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace simsdk {

// Values handed out one per call; once the list is used up its last value
// answers every further call.
template <typename T>
class ValueQueue {
public:
    explicit ValueQueue(T value) : values_{value} {}
    // `values` must not be empty (ParseList never yields an empty list).
    explicit ValueQueue(std::vector<T> values) : values_(std::move(values)) {}

    T Take() {
        const T value = values_[next_];
        if (next_ + 1 < values_.size()) ++next_;
        return value;
    }

private:
    std::vector<T> values_;  // never empty
    size_t next_ = 0;
};

struct ScriptItem {
    std::string key;
    std::string value;
};

// The items of a script in order, blanks removed and empty items skipped; no
// value when an item lacks its '='. Keys and values are not judged here.
std::optional<std::vector<ScriptItem>> SplitScript(std::string_view script);

// Applies a whole script: `apply(key, value, copy)` for each item on a copy of
// `settings`, which replaces them only when every item was accepted. So a
// malformed script changes nothing.
template <typename Settings, typename Apply>
bool ApplyAllOrNothing(std::string_view script, Settings& settings, Apply apply) {
    const auto items = SplitScript(script);
    if (!items) return false;
    Settings changed = settings;
    for (const ScriptItem& item : *items) {
        if (!apply(item.key, item.value, changed)) return false;
    }
    settings = std::move(changed);
    return true;
}

// The parts of a comma list, empty ones included ("" gives one empty part).
std::vector<std::string_view> SplitList(std::string_view text);

// Decimal, or hexadecimal after "0x" (codes such as 0x203 read better so),
// up to 2^32 - 1.
std::optional<uint32_t> ParseNumber(std::string_view text);

// As ParseNumber, plus a leading '-' before a decimal. A decimal must fit a
// signed 32-bit value; a hexadecimal number is its 32-bit pattern, so that
// failure codes such as 0x80070057 can be written as they are usually shown.
std::optional<int32_t> ParseSignedNumber(std::string_view text);

// A comma list whose every part `parse` accepts; no value when one fails.
template <typename T, typename Parse>
std::optional<std::vector<T>> ParseList(std::string_view text, Parse parse) {
    std::vector<T> values;
    for (std::string_view part : SplitList(text)) {
        const std::optional<T> value = parse(part);
        if (!value) return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

}  // namespace simsdk
