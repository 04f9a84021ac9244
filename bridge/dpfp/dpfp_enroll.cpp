// FK_Capture: a finger enrolled from the samples the comparison module asks
// for, returned as packed template text.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dpfp_acquisition.h"
#include "dpfp_failures.h"
#include "dpfp_session.h"
#include "failure.h"
#include "fpbridge_dpfp.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "template_text.h"

namespace {

constexpr size_t kFailureTextSize = 512;
// More feature sets than any comparison module combines: a larger number is
// a fault, not a setting.
constexpr int32_t kMaxFeatureSets = 64;
// A feature set or template larger than this is no fingerprint's.
constexpr int32_t kMaxFeatureBytes = 1 << 20;

void ShowEnrollPrompt(const BioTask* task, const char* format) {
    char operation[16];
    GetOperationName(task->operation, operation);
    char prompt[128];
    std::snprintf(prompt, sizeof prompt, format, operation, task->collected + 1, task->needed);
    ShowPrompt(task, prompt);
}

// One sample's pre-registration feature set into the enrollment, and with the
// last one the registration template. Null, or how it failed.
FailureWriter AddSample(const uint8_t* data, uint32_t size, BioTask* task) {
    int32_t setLength = 0;
    if (FX_getFeaturesLen(DP_PURPOSE_PREREGISTRATION, &setLength, nullptr) != 0 || setLength <= 0 ||
        setLength > kMaxFeatureBytes || (task->featureSetLength != 0 && setLength != task->featureSetLength)) {
        // The sets are combined at one size: one of another size would be read past its end.
        return Fail<kDpfpFeatureSetSizeUnknown>;
    }
    task->featureSetLength = setLength;
    std::vector<uint8_t>& set = task->featureSets[static_cast<size_t>(task->collected)];
    set.assign(static_cast<size_t>(setLength), 0);

    int32_t imageQuality = 0, featuresQuality = 0, created = 0;
    if (FX_extractFeatures(task->extraction, static_cast<int32_t>(size), data, DP_PURPOSE_PREREGISTRATION, setLength,
                           set.data(), &imageQuality, &featuresQuality, &created) != 0) {
        return Fail<kDpfpNotExtracted>;
    }
    if (created == 0) return Fail<kDpfpPreEnrollmentFailed>;
    if (task->collected < task->needed - 1) return nullptr;

    int32_t templateLength = 0;
    if (MC_getFeaturesLen(DP_PURPOSE_REGISTRATION, 0, &templateLength, nullptr) != 0 || templateLength <= 0 ||
        templateLength > kMaxFeatureBytes) {
        return Fail<kDpfpTemplateSizeUnknown>;
    }
    std::vector<uint8_t*> sets;
    for (std::vector<uint8_t>& made : task->featureSets) sets.push_back(made.data());
    std::vector<uint8_t> made(static_cast<size_t>(templateLength), 0);
    int32_t flag = 0;
    if (MC_generateRegFeatures(task->comparison, 0, task->needed, setLength, sets.data(), templateLength, made.data(),
                               nullptr, &flag) != 0) {
        return Fail<kDpfpTemplateNotMade>;
    }
    task->templateData = std::move(made);
    return nullptr;
}

void AddToEnroll(const uint8_t* data, uint32_t size, BioTask* task) {
    PLOGD << "Begin";
    if (const FailureWriter fail = AddSample(data, size, task)) {
        // The error code stays as it was; the sample is not counted.
        fail(task->status);
        PLOGE << "msg=" << task->status->message;
        return;
    }
    ++task->collected;
    PLOGD << "End";
}

DWORD WINAPI EnrollThread(void* parameter) {
    auto* task = static_cast<BioTask*>(parameter);
    PLOGD << "Begin";
    BioStatus* status = task->status;
    MC_SETTINGS settings{};
    MC_getSettings(&settings);
    task->needed = settings.featureSetsPerTemplate;
    task->collected = 0;
    if (task->needed < 1 || task->needed > kMaxFeatureSets) {
        // Nothing could ever be enrolled: end the run instead of waiting for
        // samples that cannot count.
        Fail<kDpfpSetsOutOfReason>(status, task->needed);
        PLOGE << "msg=" << status->message;
        task->needed = 0;
        PostFinish(task);
        return 0;
    }
    const bool stored = CatchAll(
        [&] {
            // No acquisition yet, so no event writes the status meanwhile.
            FailInside(status);
            return false;
        },
        [&] {
            task->featureSets.assign(static_cast<size_t>(task->needed), {});
            return true;
        });
    if (!stored) {
        PLOGE << "msg=" << status->message;
        task->needed = 0;
        PostFinish(task);
        return 0;
    }
    FX_createContext(&task->extraction);
    MC_createContext(&task->comparison);
    ShowEnrollPrompt(task, "%s:Scan your finger for enrollment. - (%d/%d)");

    DPFP_ACQUISITION acquisition = 0;
    const DPFP_RESULT created = CreateAcquisition(task, &acquisition);
    if (created == DPFP_OK) {
        status->success = true;
    } else {
        char text[kResultTextSize];
        GetResultText(created, text);
        Fail<kDpfpAcquisitionNotCreated>(status, created, text);
        PLOGE << "msg=" << status->message;
    }
    const DPFP_RESULT started = DPFPStartAcquisition(acquisition);
    // An acquisition that was not made or did not start sends no event: the
    // run ends now instead of waiting for a Cancelar only a person could give.
    if (created != DPFP_OK || started != DPFP_OK) {
        if (created == DPFP_OK) task->startFailure = started;
        PostFinish(task);
    }
    return status->success ? 1 : 0;
}

// The enrolled template as packed template text; a run that ended without a
// template, or a template that does not pack, is a failure.
char* PackTemplate(BioTask* task) {
    BioStatus* status = task->status;
    if (task->templateData.empty()) {
        Fail<kDpfpEnrollmentIncomplete>(status, task->collected, task->needed);
        return nullptr;
    }
    const int32_t templateLength = static_cast<int32_t>(task->templateData.size());
    char* text = PackTemplateText(task->templateData.data(), templateLength, kDpfpEnvelope,
                                  task->imageWidth, task->imageHeight);
    if (!text) {
        Fail<kDpfpNotPacked>(status, templateLength);
    }
    return text;
}

}  // namespace

void EnrollmentEvent(BioTask* task, WPARAM kind, LPARAM data) {
    if (kind == DPFP_EVENT_SAMPLE) {
        if (task->collected >= task->needed) return;
        ShowEnrollPrompt(task, "%s: Scan your finger for enrollment. - (%d/%d)");
        const auto* sample = reinterpret_cast<const DPFP_SAMPLE*>(data);
        const uint8_t* bytes = sample ? sample->data : nullptr;
        if (bytes) DisplayFingerprintImage(sample, task);
        AddToEnroll(bytes, bytes ? sample->size : 0, task);
        if (task->collected == task->needed || !task->status->success) PostFinish(task);
    } else if (kind == DPFP_EVENT_ERROR) {
        EndOnReaderError(task, data);
    }
}

namespace {

char* Enroll() {
    OwnedStatus status(kOpEnroll);
    BioWindow window{};
    BioTask task(kOpEnroll, &window, status.get());
    const ContextsClose contexts(&task);
    SessionEnd session;
    OwnedText result;
    if (FK_Init(1, &task) == 0) {
        PLOGD_AS("FK_Capture") << "Begin FK_Capture";
        RunAcquisition(&task, EnrollThread, true);
        if (status->success) {
            result.reset(PackTemplate(&task));
            if (!result) {
                PLOGE_AS("FK_Capture") << "msg=" << status->message;
            }
        }
    }
    session.close();
    if (!status->success) result.reset(FailureText(status->message, kFailureTextSize));
    CloseTaskContexts(&task);
    PumpFlag().store(1);
    PLOGD_AS("FK_Capture") << "End FK_Capture";
    return result.release();
}

}  // namespace

extern "C" char* FK_Capture(const char*, int32_t) {
    // On a failure inside, the owners in Enroll have ended the session and
    // closed the contexts.
    return CatchAll([] { return FailureText(CaughtFailure().text, kFailureTextSize); },
                    [] {
                        const OperationGuard guard;
                        return guard.entered() ? Enroll() : FailureText<kBusy>(kFailureTextSize);
                    });
}
