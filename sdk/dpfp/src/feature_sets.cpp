#include "feature_sets.h"

#include <cstring>

#include "simsdk/random.h"

namespace dpfpsim {
namespace {

constexpr char kSampleMagic[8] = {'D', 'P', 'S', 'I', 'M', 'S', 'M', 'P'};
constexpr size_t kSampleCheckOffset = kSampleSize - 4;

constexpr char kFeatureMagic[] = "DPSIM:";
constexpr int32_t kMagicSize = 6;
constexpr int32_t kHeaderSize = kMagicSize + 3 + 3 + 9 + 9 + 9;  // ...:<kind>1:FF:SSSSSSSS:NNNNNNNN:LLLLLLLL:
constexpr int32_t kCheckSize = 9;                                // :CCCCCCCC
static_assert(kMinFeatureSize > kHeaderSize + kCheckSize, "room for filler");

constexpr char kHexDigits[] = "0123456789ABCDEF";
// Filler characters: letters, digits and two marks, none of them ':'.
constexpr char kFillerAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

uint32_t Fnv1a(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

void PutLittleEndian(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLittleEndian(const uint8_t* in) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(in[i]) << (8 * i);
    return value;
}

// Upper-case hexadecimal, `digits` of them.
uint8_t* PutHex(uint8_t* out, uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) *out++ = static_cast<uint8_t>(kHexDigits[(value >> (4 * i)) & 0xF]);
    return out;
}

std::optional<uint32_t> GetHex(const uint8_t* in, int digits) {
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const void* found = in[i] == 0 ? nullptr : std::memchr(kHexDigits, in[i], 16);
        if (found == nullptr) return std::nullopt;
        value = (value << 4) | static_cast<uint32_t>(static_cast<const char*>(found) - kHexDigits);
    }
    return value;
}

// A header field: the digits and a ':'.
uint8_t* PutField(uint8_t* out, uint32_t value, int digits) {
    out = PutHex(out, value, digits);
    *out++ = ':';
    return out;
}

std::optional<uint32_t> GetField(const uint8_t*& in, int digits) {
    const auto value = GetHex(in, digits);
    if (!value || in[digits] != ':') return std::nullopt;
    in += digits + 1;
    return value;
}

bool IsKind(uint8_t c) {
    return c == static_cast<uint8_t>(FeatureKind::kPreRegistration) ||
           c == static_cast<uint8_t>(FeatureKind::kRegistration) ||
           c == static_cast<uint8_t>(FeatureKind::kVerification);
}

}  // namespace

bool IsValidFinger(uint32_t finger) {
    return finger >= kFirstFinger && finger <= kLastFinger;
}

std::vector<uint8_t> MakeSample(const SampleFacts& facts) {
    std::vector<uint8_t> data(kSampleSize, 0);
    std::memcpy(data.data(), kSampleMagic, sizeof kSampleMagic);
    data[8] = facts.finger;
    PutLittleEndian(&data[12], facts.session);
    PutLittleEndian(&data[16], facts.serial);
    simsdk::SplitMix noise((uint64_t{facts.session} << 32 | facts.serial) ^ (uint64_t{facts.finger} << 56));
    for (size_t i = 20; i < kSampleCheckOffset; ++i) data[i] = static_cast<uint8_t>(noise.Next());
    PutLittleEndian(&data[kSampleCheckOffset], Fnv1a(data.data(), kSampleCheckOffset));
    return data;
}

std::optional<SampleFacts> ReadSample(const uint8_t* data, uint64_t available) {
    if (data == nullptr || available < kSampleSize) return std::nullopt;
    if (std::memcmp(data, kSampleMagic, sizeof kSampleMagic) != 0) return std::nullopt;
    if (GetLittleEndian(&data[kSampleCheckOffset]) != Fnv1a(data, kSampleCheckOffset)) return std::nullopt;
    if (!IsValidFinger(data[8])) return std::nullopt;
    return SampleFacts{data[8], GetLittleEndian(&data[12]), GetLittleEndian(&data[16])};
}

bool FitsFeatureSize(int64_t size) {
    return size >= kMinFeatureSize && size <= kMaxFeatureSize;
}

void WriteFeatures(const FeatureFacts& facts, uint8_t* out, int32_t size) {
    uint8_t* at = out;
    std::memcpy(at, kFeatureMagic, kMagicSize);
    at += kMagicSize;
    *at++ = static_cast<uint8_t>(facts.kind);
    *at++ = '1';
    *at++ = ':';
    at = PutField(at, facts.finger, 2);
    at = PutField(at, facts.session, 8);
    at = PutField(at, facts.serial, 8);
    at = PutField(at, static_cast<uint32_t>(size), 8);

    uint8_t* const check = out + size - kCheckSize;
    simsdk::SplitMix filler(Fnv1a(out, kHeaderSize));
    while (at < check) *at++ = static_cast<uint8_t>(kFillerAlphabet[filler.Below(64)]);
    *at++ = ':';
    PutHex(at, Fnv1a(out, static_cast<size_t>(size - kCheckSize)), 8);
}

std::optional<FeatureFacts> ReadFeatures(const uint8_t* data, int64_t available) {
    if (data == nullptr || available < kMinFeatureSize) return std::nullopt;
    if (std::memcmp(data, kFeatureMagic, kMagicSize) != 0) return std::nullopt;
    const uint8_t* at = data + kMagicSize;
    if (!IsKind(at[0]) || at[1] != '1' || at[2] != ':') return std::nullopt;
    FeatureFacts facts;
    facts.kind = static_cast<FeatureKind>(at[0]);
    at += 3;
    const auto finger = GetField(at, 2);
    const auto session = GetField(at, 8);
    const auto serial = GetField(at, 8);
    const auto length = GetField(at, 8);
    if (!finger || !session || !serial || !length) return std::nullopt;
    if (!IsValidFinger(*finger) || !FitsFeatureSize(*length) || *length > available) return std::nullopt;

    const uint8_t* check = data + *length - kCheckSize;
    if (check[0] != ':' || GetHex(check + 1, 8) != Fnv1a(data, *length - kCheckSize)) return std::nullopt;
    facts.finger = static_cast<uint8_t>(*finger);
    facts.session = *session;
    facts.serial = *serial;
    return facts;
}

uint32_t Digest(const std::vector<uint32_t>& values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    for (size_t i = 0; i < values.size(); ++i) PutLittleEndian(&bytes[i * 4], values[i]);
    return Fnv1a(bytes.data(), bytes.size());
}

}  // namespace dpfpsim
