// A small deterministic generator (splitmix64). The simulated readers must give
// the same fingers, templates and pictures on every run and every platform, so
// they cannot use <random>'s distributions, whose results vary by library.
#pragma once

#include <cstdint>

namespace simsdk {

class SplitMix {
public:
    explicit SplitMix(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform enough in [0, bound) for bounds far below 2^32.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>((Next() >> 32) % bound); }

    // In [low, high].
    int32_t Between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(Below(static_cast<uint32_t>(high - low + 1)));
    }

    // In [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

private:
    uint64_t state_;
};

}  // namespace simsdk
