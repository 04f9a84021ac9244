// FK_VerifyServer (one live finger as packed template text of its verification
// feature set) and FK_Verify (that, matched at once against a stored template).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dpfp_acquisition.h"
#include "dpfp_match.h"
#include "dpfp_failures.h"
#include "dpfp_session.h"
#include "failure.h"
#include "fpbridge_dpfp.h"
#include "logged_template.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "template_text.h"

namespace {

constexpr size_t kFailureTextSize = 256;
constexpr char kErrorPrefix[] = "ERROR - ";

DWORD WINAPI CaptureThread(void* parameter) {
    auto* task = static_cast<BioTask*>(parameter);
    BioStatus* status = task->status;
    status->success = true;
    status->matched = false;
    FX_createContext(&task->extraction);
    MC_createContext(&task->comparison);
    char operation[16];
    GetOperationName(task->operation, operation);
    char prompt[128];
    std::snprintf(prompt, sizeof prompt, "%s: Scan your finger for verify.", operation);
    ShowPrompt(task, prompt);

    DPFP_ACQUISITION acquisition = 0;
    CreateAcquisition(task, &acquisition);
    // From here on the window's thread may record what the reader reports;
    // the worker no longer writes the status, so that nothing it finds later
    // overwrites a failure recorded meanwhile.
    const DPFP_RESULT started = DPFPStartAcquisition(acquisition);
    if (started != DPFP_OK) {
        task->startFailure = started;
        char text[kResultTextSize];
        GetResultText(started, text);
        char message[kBioMessageSize];
        FormatFailure<kDpfpAcquisitionNotStarted>(message, sizeof message, started, text);
        PLOGE << "msg=" << message;
        // No event will come to end the run.
        PostFinish(task);
        return 0;
    }
    return 1;
}

// "ERROR - <code>", and for failures other than a cancel what happened.
char* CaptureFailureText(int32_t error, const char* message) {
    const char* detail = message;
    if (std::strncmp(detail, kErrorPrefix, sizeof kErrorPrefix - 1) == 0) detail += sizeof kErrorPrefix - 1;
    if (error == kDpfpCancelledError || detail[0] == '\0') {
        return FailureText<kDpfpCaptureEndedText>(kFailureTextSize, error);
    }
    return FailureText<kDpfpCaptureFailedText>(kFailureTextSize, error, detail);
}

char* PackLiveTemplate(BioTask* task) {
    if (task->verifyFeatures.empty()) {
        Fail<kDpfpNoFingerRead>(task->status);
        return nullptr;
    }
    char* text = PackTemplateText(task->verifyFeatures.data(), task->verifyLength, kDpfpEnvelope,
                                  task->imageWidth, task->imageHeight);
    if (!text) {
        Fail<kDpfpNotPacked>(task->status, task->verifyLength);
    }
    return text;
}

char* VerifyServer() {
    OwnedStatus status(kOpVerifyServer);
    PLOGD_AS("FK_VerifyServer") << "Begin";
    BioWindow window{};
    BioTask task(kOpVerifyServer, &window, status.get());
    const ContextsClose contexts(&task);
    SessionEnd session;
    OwnedText result;
    if (FK_Init(1, &task) == 0) {
        status->success = true;
        status->matched = false;
        RunAcquisition(&task, CaptureThread, false);
        if (status->success) result.reset(PackLiveTemplate(&task));
        if (!status->success) {
            result.reset(CaptureFailureText(status->error, status->message));
            PLOGE_AS("FK_VerifyServer") << "msg=" << (result ? result.get() : "");
        }
    }
    CloseTaskContexts(&task);
    PumpFlag().store(1);
    session.close();
    PLOGD_AS("FK_VerifyServer") << "End";
    return result.release();
}

}  // namespace

void LiveCaptureEvent(BioTask* task, WPARAM kind, LPARAM data) {
    if (kind == DPFP_EVENT_SAMPLE) {
        const auto* sample = reinterpret_cast<const DPFP_SAMPLE*>(data);
        const uint8_t* bytes = sample ? sample->data : nullptr;
        if (bytes) {
            const std::vector<uint8_t> image = MakeDisplayImage(task, sample);
            if (!image.empty()) DrawImage(task->window->image, task->imageWidth, task->imageHeight, image.data());
        }
        TemplateToVerify(bytes, bytes ? sample->size : 0, task);
        if (!bytes) {
            Fail<kDpfpNoSampleData>(task->status);
        } else if (task->verifyFeatures.empty()) {
            Fail<kDpfpNoFeatureSet>(task->status);
        }
        PostFinish(task);
    } else if (kind == DPFP_EVENT_ERROR) {
        EndOnReaderError(task, data);
    } else if (kind == DPFP_EVENT_STOPPED) {
        Fail<kDpfpReaderStopped>(task->status);
    }
}

extern "C" {

char* FK_VerifyServer(void) {
    // On a failure inside, the owners in VerifyServer have ended the session
    // and closed the contexts.
    const auto failedInside = [] {
        const Failure& caught = CaughtFailure();
        return CaptureFailureText(caught.code, caught.text);
    };
    return CatchAll(failedInside, [] {
        const OperationGuard guard;
        return guard.entered() ? VerifyServer() : CaptureFailureText(kBusy.code, kBusy.text);
    });
}

int32_t FK_Verify(const char* tpStored, const char* FkStored) {
    return CatchAll(0, [&] {
        const OperationGuard guard;
        if (!guard.entered()) return 0;
        PLOGD_AS("FK_Verify") << "Begin";
        const OwnedText live(FK_VerifyServer());
        PLOGD_AS("FK_Verify") << "ret64=" << LoggedTemplate(live.get());
        // A cancelled or failed capture is never matched: its text is no template.
        if (live && !IsCancelledCaptureText(live.get()) &&
            std::strncmp(live.get(), kErrorPrefix, sizeof kErrorPrefix - 1) != 0) {
            return FK_VerifyMatch(tpStored, FkStored, "Z", live.get(), nullptr);
        }
        return live ? 0 : FK_VerifyMatch(tpStored, FkStored, "Z", nullptr, nullptr);
    });
}

}  // extern "C"
