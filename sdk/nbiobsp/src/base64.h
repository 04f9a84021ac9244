// Base64 (standard alphabet, '=' padding) for the simulated reader's text FIRs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nbiosim {

std::string EncodeBase64(const std::vector<uint8_t>& bytes);

// Strict: the length must be a multiple of four, only alphabet characters
// before the padding, at most two '=' and only at the end. Anything else is a
// damaged text and gives nothing.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

}  // namespace nbiosim
