#include "sha256.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#define FPB_SHA256_X86 1
#endif

namespace {

constexpr uint32_t kRounds[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

uint32_t Rotate(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void Compress(uint32_t state[8], const uint8_t block[64]) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = static_cast<uint32_t>(block[4 * i]) << 24 | static_cast<uint32_t>(block[4 * i + 1]) << 16 |
               static_cast<uint32_t>(block[4 * i + 2]) << 8 | block[4 * i + 3];
    }
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4], f = state[5], g = state[6],
             h = state[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & f) ^ (~e & g)) + kRounds[i] + w[i];
        const uint32_t t2 = (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

void CompressPortable(uint32_t state[8], const uint8_t* blocks, size_t count) {
    for (size_t i = 0; i < count; ++i) Compress(state, blocks + 64 * i);
}

#ifdef FPB_SHA256_X86
// The same rounds on the processor's SHA extensions: the log names two
// templates in every comparison, and this makes that cost a tenth.
__attribute__((target("sha,sse4.1"))) void CompressSha(uint32_t state[8], const uint8_t* blocks, size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i state0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));      // DCBA
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));  // HGFE
    __m128i shuffled = _mm_shuffle_epi32(state0, 0xB1);                             // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);                                       // EFGH
    state0 = _mm_alignr_epi8(shuffled, state1, 8);                                  // ABEF
    state1 = _mm_blend_epi16(state1, shuffled, 0xF0);                               // CDGH
    for (size_t block = 0; block < count; ++block) {
        const uint8_t* data = blocks + 64 * block;
        const __m128i savedAbef = state0, savedCdgh = state1;
        __m128i w[4];
        for (int group = 0; group < 16; ++group) {
            __m128i& current = w[group % 4];
            if (group < 4) {
                current = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * group)),
                                           byteSwap);
            }
            __m128i message =
                _mm_add_epi32(current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRounds + 4 * group)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, message);
            if (group >= 3 && group <= 14) {
                __m128i& next = w[(group + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, w[(group + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            message = _mm_shuffle_epi32(message, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, message);
            if (group >= 1 && group <= 12) w[(group + 3) % 4] = _mm_sha256msg1_epu32(w[(group + 3) % 4], current);
        }
        state0 = _mm_add_epi32(state0, savedAbef);
        state1 = _mm_add_epi32(state1, savedCdgh);
    }
    shuffled = _mm_shuffle_epi32(state0, 0x1B);        // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);          // DCHG
    state0 = _mm_blend_epi16(shuffled, state1, 0xF0);  // DCBA
    state1 = _mm_alignr_epi8(state1, shuffled, 8);     // HGFE
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), state1);
}

bool HasShaExtensions() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool sse41 = (ecx & (1u << 19)) != 0, ssse3 = (ecx & (1u << 9)) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
    return sse41 && ssse3 && (ebx & (1u << 29)) != 0;
}
#endif

using CompressBlocks = void (*)(uint32_t state[8], const uint8_t* blocks, size_t count);

Sha256Digest Digest(CompressBlocks compress, const void* data, size_t size) {
    uint32_t state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t whole = size - size % 64;
    compress(state, bytes, whole / 64);

    // The tail, the 0x80 marker and the length in bits fill one or two blocks.
    uint8_t tail[128] = {};
    const size_t rest = size - whole;
    if (rest > 0) std::memcpy(tail, bytes + whole, rest);
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = static_cast<uint64_t>(size) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    compress(state, tail, tailSize / 64);

    Sha256Digest digest{};
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(state[i] >> (24 - 8 * j));
    }
    return digest;
}

}  // namespace

Sha256Digest Sha256(const void* data, size_t size) {
#ifdef FPB_SHA256_X86
    static const CompressBlocks compress = HasShaExtensions() ? CompressSha : CompressPortable;
#else
    constexpr CompressBlocks compress = CompressPortable;
#endif
    return Digest(compress, data, size);
}

Sha256Digest Sha256Portable(const void* data, size_t size) {
    return Digest(CompressPortable, data, size);
}
