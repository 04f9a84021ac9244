// SHA-256, portable and self-contained: the bridges name template texts in
// their operation log by a digest rather than by their content.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Sha256Digest = std::array<uint8_t, 32>;

// On processors with SHA extensions, computed with them.
Sha256Digest Sha256(const void* data, size_t size);

// The same digest without the SHA extensions, on every processor.
Sha256Digest Sha256Portable(const void* data, size_t size);
