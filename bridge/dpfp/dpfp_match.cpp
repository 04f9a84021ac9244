// FK_VerifyMatch and FK_VerifyMcsDigital: template texts compared without the
// reader, and the steps that every comparison uses.
#include "dpfp_match.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dpfp_failures.h"
#include "dpfp_session.h"
#include "failure.h"
#include "dpfp_template_text.h"
#include "fpbridge_dpfp.h"
#include "logged_template.h"
#include "match_operation.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "plog/RecordBatch.h"
#include "pump_flag.h"
#include "template_text.h"

namespace {

// A verification feature set larger than this is no fingerprint's.
constexpr int32_t kMaxFeatureBytes = 1 << 20;

}  // namespace

void TemplateToVerify(const uint8_t* data, uint32_t size, BioTask* task) {
    PLOGD << "Begin";
    int32_t length = 0;
    if (FX_getFeaturesLen(DP_PURPOSE_VERIFICATION, &length, nullptr) != 0 || length <= 0 ||
        length > kMaxFeatureBytes) {
        return;
    }
    task->verifyLength = length;
    if (data && size != 0) {
        std::vector<uint8_t> features(static_cast<size_t>(length), 0);
        int32_t imageQuality = 0, featuresQuality = 0, created = 0;
        const FX_RESULT extracted =
            FX_extractFeatures(task->extraction, static_cast<int32_t>(size), data, DP_PURPOSE_VERIFICATION, length,
                               features.data(), &imageQuality, &featuresQuality, &created);
        // A set the module did not make is no template: it stays out of the task.
        if (extracted == 0 && created != 0) {
            task->verifyFeatures = std::move(features);
        } else {
            task->verifyFeatures.clear();
        }
    }
    PLOGD << "End";
}

void Verify(const uint8_t* data, uint32_t size, BioTask* task) {
    PLOGD << "Begin";
    TemplateToVerify(data, size, task);
    BioStatus* status = task->status;
    const int32_t available = static_cast<int32_t>(task->verifyFeatures.size());
    if (!task->verifyFeatures.empty() && available < task->verifyLength) {
        // The module reads a whole verification feature set: a shorter
        // template would be read past its end.
        Fail<kDpfpVerifyUnreadable>(status);
        PLOGE << "msg=" << status->message;
    } else if (!task->verifyFeatures.empty()) {
        int32_t options = 0, securityLevel = 4, decision = 0;
        double score = 0.0;
        const MC_RESULT compared =
            MC_verifyFeaturesEx(task->comparison, static_cast<int32_t>(task->templateData.size()),
                                task->templateData.data(), task->verifyLength, task->verifyFeatures.data(), 0, &options,
                                nullptr, &securityLevel, &score, &decision);
        if (compared != 0) {
            char text[kResultTextSize];
            GetResultText(compared, text);
            Fail<kDpfpCompareFailed>(status, compared, text);
            PLOGE << "msg=" << status->message;
        } else {
            status->success = true;
        }
        // A comparison that failed decides nothing.
        status->matched = compared == 0 && decision != 0;
    }
    PLOGD << "End";
}

namespace {

// The live template of the comparisons, named for the log once however many
// stored templates it is compared with: its digest would otherwise be worked
// out again for each of them.
class LiveTemplate {
public:
    LiveTemplate(const char* kind, const char* text) noexcept
        : m_kind(kind), m_text(text), m_logged(LoggedTemplate(text)) {}

    const char* kind() const { return m_kind; }
    const char* text() const { return m_text; }
    const std::string& logged() const { return m_logged; }

private:
    const char* m_kind;
    const char* m_text;
    std::string m_logged;
};

void VerifyMatch(BioStatus* status, const char* tpStored, const char* FkStored, const LiveTemplate& live) {
    const char* tpVerify = live.kind();
    const char* ToVerify = live.text();
    BioTask task(kOpVerifyMatch, nullptr, status);
    const ContextsClose contexts(&task);
    SessionEnd session;
    if (!FkStored || !ToVerify || IsCancelledCaptureText(ToVerify)) {
        Fail<kDpfpInvalidParameter>(status);
        PLOGE_AS("FK_VerifyMatch") << "msg=" << status->message;
    } else if (FK_Init(0, &task) == 0) {
        if (!IsNativeKind(tpStored)) {
            PLOGD_AS("FK_VerifyMatch") << "tpStored != N";
        }
        int32_t unpackedSize = 0;
        bool read = ReadTemplate(tpStored, FkStored, &task.templateData, nullptr);
        if (!read) {
            Fail<kDpfpStoredUnreadable>(status);
            PLOGE_AS("FK_VerifyMatch") << "msg=" << status->message;
        } else {
            read = ReadTemplate(tpVerify, ToVerify, &task.verifyFeatures, &unpackedSize);
            if (!IsNativeKind(tpVerify)) {
                PLOGD_AS("FK_VerifyMatch") << "unpackedsize=" << unpackedSize;
            }
            if (!read) {
                Fail<kDpfpVerifyUnreadable>(status);
                PLOGE_AS("FK_VerifyMatch") << "msg=" << status->message;
            }
        }
        if (read) {
            task.collected = 0;
            status->success = true;
            status->matched = false;
            PLOGD_AS("FK_VerifyMatch") << "Before FX_createContext";
            FX_createContext(&task.extraction);
            PLOGD_AS("FK_VerifyMatch") << "After FX_createContext";
            PLOGD_AS("FK_VerifyMatch") << "Before MC_createContext";
            MC_createContext(&task.comparison);
            PLOGD_AS("FK_VerifyMatch") << "After MC_createContext";
            Verify(nullptr, 0, &task);
        }
    }
    CloseTaskContexts(&task);
    session.close();
}

// FK_VerifyMatch of a stored template against the live one.
int32_t MatchLive(const char* tpStored, const char* FkStored, const LiveTemplate& live, BioStatus* statusOut) noexcept {
    // A comparison writes a score of records: they reach the log in one write.
    plog::RecordBatch records;
    PLOGD_AS("FK_VerifyMatch") << "Begin";
    PLOGD_AS("FK_VerifyMatch") << "tpStored=" << tpStored << " FkStored=" << LoggedTemplate(FkStored)
                               << " tpVerify=" << live.kind() << " ToVerify=" << live.logged();
    return RunMatchOperation(statusOut, [&](BioStatus* status) {
        const auto failedInside = [&] {
            // The task and the session's end have closed what was open.
            FailInside(status);
            PLOGE_AS("FK_VerifyMatch") << "msg=" << status->message;
        };
        CatchAll(failedInside, [&] { VerifyMatch(status, tpStored, FkStored, live); });
        PumpFlag().store(1);
        PLOGD_AS("FK_VerifyMatch") << "End FK_VerifyMatch";
    });
}

}  // namespace

extern "C" {

int32_t FK_VerifyMatch(const char* tpStored, const char* FkStored, const char* tpVerify, const char* ToVerify,
                       BioStatus* statusOut) {
    LiveTemplate live(tpVerify, ToVerify);
    return MatchLive(tpStored, FkStored, live, statusOut);
}

int32_t FK_VerifyMcsDigital(char** texts, int32_t count, char* out, int32_t outSize) {
    const auto failedInside = [&] {
        // Not even a status could be had: the answer says so without one.
        if (outSize >= 64) {
            const Failure& caught = CaughtFailure();
            char message[kBioMessageSize];
            std::snprintf(message, sizeof message, "%s", caught.text);
            const BioStatus failed{0, false, false, caught.code, message};
            FormatBioStatusBounded(out, static_cast<size_t>(outSize), &failed);
        }
        return 0;
    };
    return CatchAll(failedInside, [&] {
        plog::RecordBatch records;
        int32_t result = 0;
        std::unique_ptr<OwnedStatus> status;
        // The whole list is one operation.
        const OperationGuard guard;
        if (!guard.entered()) {
            status = std::make_unique<OwnedStatus>(0);
            Fail<kBusy>(status->get());
        } else if (texts && count >= 2 && texts[0] && texts[0][0] != '\0') {
            status = std::make_unique<OwnedStatus>(0);
            LiveTemplate live(nullptr, texts[0]);
            for (int32_t i = 1; i < count && texts[i]; ++i) {
                result = MatchLive(nullptr, texts[i], live, status->get());
                // Each comparison hands over a message buffer of its own; the one
                // before it goes now.
                status->adoptHandedMessage();
                if (result != 0) break;
            }
        }
        if (outSize < 64) return 0;
        if (status) FormatBioStatusBounded(out, static_cast<size_t>(outSize), status->get());
        return result;
    });
}

}  // extern "C"
