// What the simulated reader and its two modules hand out, and how they know
// it again: samples (binary, from the reader), feature sets and registration
// templates (printable text, from the modules).
//
// A feature set or template is ASCII throughout, so that a client can keep it
// as native text: a header "DPSIM:<kind>1:<finger>:<session>:<serial>:<length>:"
// (hexadecimal fields, kind P pre-registration, R registration, V
// verification), printable filler, and ":<check>" over everything before it.
// The length in the header lets a reader stop at the set's own end, whatever
// size a caller claims.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace dpfpsim {

constexpr uint32_t kFirstFinger = 1;
constexpr uint32_t kLastFinger = 10;

bool IsValidFinger(uint32_t finger);

struct SampleFacts {
    uint8_t finger = 0;
    uint32_t session = 0;
    uint32_t serial = 0;  // numbers the samples of one run, so that their bytes differ
};

constexpr uint32_t kSampleSize = 416;

std::vector<uint8_t> MakeSample(const SampleFacts& facts);
// The facts of a sample in the first `available` bytes at `data` (null allowed),
// reading no further; none when the bytes are not one of our samples.
std::optional<SampleFacts> ReadSample(const uint8_t* data, uint64_t available);

enum class FeatureKind : char {
    kPreRegistration = 'P',
    kRegistration = 'R',
    kVerification = 'V',
};

struct FeatureFacts {
    FeatureKind kind = FeatureKind::kVerification;
    uint8_t finger = 0;
    uint32_t session = 0;
    uint32_t serial = 0;  // the sample's number, or for a template a digest of its sets
};

// The header, the check and a little filler; anything smaller cannot be told
// apart from noise.
constexpr int32_t kMinFeatureSize = 64;
// Far beyond any real feature set; a larger size is a caller's mistake.
constexpr int32_t kMaxFeatureSize = 1 << 20;

bool FitsFeatureSize(int64_t size);

// Writes exactly `size` bytes (FitsFeatureSize(size) must hold).
void WriteFeatures(const FeatureFacts& facts, uint8_t* out, int32_t size);

// The facts of the feature set or template that starts at `data` (null
// allowed) and ends within `available` bytes; reads nothing beyond its own
// end. None when the bytes are not a whole, intact set of ours.
std::optional<FeatureFacts> ReadFeatures(const uint8_t* data, int64_t available);

// A digest of several values, for the serial of a template.
uint32_t Digest(const std::vector<uint32_t>& values);

}  // namespace dpfpsim
