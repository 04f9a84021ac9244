#include "simsdk/script_tokens.h"

namespace simsdk {
namespace {

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
    }
    return out;
}

}  // namespace

std::optional<std::vector<ScriptItem>> SplitScript(std::string_view script) {
    const std::string text = WithoutBlanks(script);
    std::vector<ScriptItem> items;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find(';');
        const std::string_view item = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (item.empty()) continue;
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        items.push_back({std::string(item.substr(0, equals)), std::string(item.substr(equals + 1))});
    }
    return items;
}

std::vector<std::string_view> SplitList(std::string_view text) {
    std::vector<std::string_view> parts;
    while (true) {
        const size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

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
        value = value * base + digit;
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::optional<int32_t> ParseSignedNumber(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    const bool hexadecimal = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::optional<uint32_t> magnitude = ParseNumber(text);
    if (!magnitude) return std::nullopt;
    if (hexadecimal) {
        if (negative) return std::nullopt;
        return static_cast<int32_t>(*magnitude);
    }
    if (negative) {
        if (*magnitude > uint32_t{INT32_MAX} + 1) return std::nullopt;
        return static_cast<int32_t>(-static_cast<int64_t>(*magnitude));
    }
    if (*magnitude > uint32_t{INT32_MAX}) return std::nullopt;
    return static_cast<int32_t>(*magnitude);
}

}  // namespace simsdk
