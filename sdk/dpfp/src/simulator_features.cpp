// Feature extraction (dpHFtrEx.dll) and comparison (dpHMatch.dll) of the
// simulator: sizes, feature sets, templates, comparison and display image.
#include <optional>

#include "sample_picture.h"
#include "simulator.h"

namespace dpfpsim {
namespace {

// The finger of a set of `kind` in the first `available` bytes, if it is one.
std::optional<uint8_t> FingerOf(const uint8_t* data, int64_t available, FeatureKind kind) {
    const auto facts = ReadFeatures(data, available);
    if (!facts || facts->kind != kind) return std::nullopt;
    return facts->finger;
}

}  // namespace

FX_RESULT Simulator::FxGetFeaturesLen(int32_t purpose, int32_t* size) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("FX_getFeaturesLen");
    if (size == nullptr) return kInvalidParameter;
    if (const FX_RESULT scripted = settings_.fxLength.Take()) return scripted;
    if (purpose == DP_PURPOSE_PREREGISTRATION) {
        *size = settings_.preRegistrationLength;
    } else if (purpose == DP_PURPOSE_VERIFICATION) {
        *size = settings_.verificationLength;
    } else {
        return kInvalidPurpose;
    }
    return 0;
}

MC_RESULT Simulator::McGetFeaturesLen(int32_t purpose, int32_t* size) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("MC_getFeaturesLen");
    if (size == nullptr) return kInvalidParameter;
    if (const MC_RESULT scripted = settings_.mcLength.Take()) return scripted;
    if (purpose != DP_PURPOSE_REGISTRATION) return kInvalidPurpose;
    *size = settings_.registrationLength;
    return 0;
}

FX_RESULT Simulator::FxExtractFeatures(FX_CONTEXT context, int32_t sampleSize, const uint8_t* sample, int32_t purpose,
                                       int32_t featureSetSize, uint8_t* featureSet, int32_t* imageQuality,
                                       int32_t* featuresQuality, int32_t* created) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("FX_extractFeatures");
    lastCall_.extractPurpose = purpose;
    lastCall_.extractSize = featureSetSize;
    if (featureSet == nullptr || created == nullptr) return kInvalidParameter;
    *created = 0;
    if (fx_.contexts.count(context) == 0) return kInvalidContext;
    if (const FX_RESULT scripted = settings_.extract.Take()) return scripted;
    if (purpose != DP_PURPOSE_PREREGISTRATION && purpose != DP_PURPOSE_VERIFICATION) return kInvalidPurpose;
    const auto facts = ReadSample(sample, sampleSize < 0 ? 0 : static_cast<uint64_t>(sampleSize));
    if (!facts) return kInvalidBuffer;
    if (featureSetSize < kMinFeatureSize) return kBufferTooSmall;
    if (featureSetSize > kMaxFeatureSize) return kInvalidParameter;

    const int32_t made = settings_.created.Take();
    if (imageQuality != nullptr) *imageQuality = 0;
    if (featuresQuality != nullptr) *featuresQuality = 0;
    if (made == 0) return 0;
    FeatureFacts features;
    features.kind = purpose == DP_PURPOSE_PREREGISTRATION ? FeatureKind::kPreRegistration : FeatureKind::kVerification;
    features.finger = facts->finger;
    features.session = facts->session;
    features.serial = facts->serial;
    WriteFeatures(features, featureSet, featureSetSize);
    *created = made;
    return 0;
}

FX_RESULT Simulator::FxGetDisplayImage(FX_CONTEXT context, const uint8_t* sample, const int32_t size[2],
                                       int32_t orientation, int32_t colours, uint8_t* image) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("FX_getDisplayImage");
    if (size != nullptr) {
        lastCall_.displaySize[0] = size[0];
        lastCall_.displaySize[1] = size[1];
    }
    lastCall_.displayOrientation = orientation;
    lastCall_.displayColours = colours;
    if (sample == nullptr || size == nullptr || image == nullptr) return kInvalidParameter;
    if (fx_.contexts.count(context) == 0) return kInvalidContext;
    if (!FitsDisplaySize(size[0], size[1])) return kInvalidParameter;
    // No size comes with the sample data, so only a sample this reader handed
    // out and still holds can be read safely.
    const Sample* known = FindSampleLocked(sample);
    const auto facts = known != nullptr ? ReadSample(known->data.data(), known->data.size()) : std::nullopt;
    if (!facts) return kInvalidBuffer;
    WriteDisplayImage(PrintOf(facts->finger), size[0], size[1], image);
    return 0;
}

MC_RESULT Simulator::McGenerateRegFeatures(MC_CONTEXT context, int32_t count, int32_t featureSetSize,
                                           uint8_t** featureSets, int32_t templateSize, uint8_t* templateBuffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("MC_generateRegFeatures");
    lastCall_.generateCount = count;
    lastCall_.generateSetSize = featureSetSize;
    lastCall_.generateTemplateSize = templateSize;
    if (featureSets == nullptr || templateBuffer == nullptr) return kInvalidParameter;
    if (mc_.contexts.count(context) == 0) return kInvalidContext;
    if (const MC_RESULT scripted = settings_.generate.Take()) return scripted;
    if (count < 1 || count > kMaxSetsPerTemplate) return kInvalidParameter;
    if (templateSize < kMinFeatureSize) return kBufferTooSmall;
    if (templateSize > kMaxFeatureSize) return kInvalidParameter;

    // Every set must be a whole pre-registration set, all of one finger.
    std::vector<uint32_t> serials;
    std::optional<FeatureFacts> first;
    for (int32_t i = 0; i < count; ++i) {
        if (featureSets[i] == nullptr) return kInvalidParameter;
        const auto facts = ReadFeatures(featureSets[i], featureSetSize);
        if (!facts || facts->kind != FeatureKind::kPreRegistration) return kInvalidBuffer;
        if (first && facts->finger != first->finger) return kInvalidBuffer;
        if (!first) first = facts;
        serials.push_back(facts->serial);
    }
    FeatureFacts made;
    made.kind = FeatureKind::kRegistration;
    made.finger = first->finger;
    made.session = first->session;
    made.serial = Digest(serials);
    WriteFeatures(made, templateBuffer, templateSize);
    return 0;
}

MC_RESULT Simulator::McVerifyFeaturesEx(MC_CONTEXT context, int32_t templateSize, const uint8_t* templateData,
                                        int32_t featureSetSize, const uint8_t* featureSet, int32_t reserved,
                                        int32_t* options, int32_t* securityLevel, double* score, int32_t* decision) {
    std::lock_guard<std::mutex> lock(mutex_);
    Count("MC_verifyFeaturesEx");
    const auto templateFinger = FingerOf(templateData, templateSize, FeatureKind::kRegistration);
    const auto setFinger = FingerOf(featureSet, featureSetSize, FeatureKind::kVerification);
    lastCall_.verifyTemplateSize = templateSize;
    lastCall_.verifyFeatureSetSize = featureSetSize;
    lastCall_.verifyReserved = reserved;
    lastCall_.verifyOptions = options != nullptr ? *options : 0;
    lastCall_.verifySecurityLevel = securityLevel != nullptr ? *securityLevel : 0;
    lastCall_.verifyScore = score != nullptr ? *score : 0.0;
    lastCall_.verifyFingers[0] = templateFinger.value_or(0);
    lastCall_.verifyFingers[1] = setFinger.value_or(0);
    if (decision == nullptr) return kInvalidParameter;
    *decision = 0;
    if (mc_.contexts.count(context) == 0) return kInvalidContext;
    // A scripted failure still leaves the decision the comparison came to: a
    // module may fail after deciding, and its caller must not take that for a match.
    *decision = templateFinger && setFinger && *templateFinger == *setFinger ? 1 : 0;
    if (const MC_RESULT scripted = settings_.verify.Take()) return scripted;
    if (!templateFinger || !setFinger) return kInvalidBuffer;
    return 0;
}

}  // namespace dpfpsim
