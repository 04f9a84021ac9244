// SHA-256, portable and self-contained: the bridges name template texts in
// their operation log by a digest rather than by their content.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(const void* data, size_t size);
