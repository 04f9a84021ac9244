// FK_VerifyServer (one live finger as packed template text of its verification
// feature set) and FK_Verify (that, matched at once against a stored template).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dpfp_acquisition.h"
#include "dpfp_match.h"
#include "dpfp_session.h"
#include "fpbridge_dpfp.h"
#include "logged_template.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "template_text.h"

namespace {

constexpr size_t kFailureTextSize = 256;
constexpr int32_t kCancelled = 999;
constexpr char kCancelledCapture[] = "ERROR - 999";
constexpr char kErrorPrefix[] = "ERROR - ";

// The live capture ends without a feature set: the status says why.
void EndWithoutFeatures(BioTask* task, const char* why) { FailStatus(task->status, task->status->error, "%s", why); }

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
        char message[kBioMessageSize];
        StartFailureText(started, message);
        PLOGE << "msg=" << message;
        return 0;
    }
    return 1;
}

// "ERROR - <code>", and for failures other than a cancel what happened.
char* FailureTextFor(int32_t error, const char* message) {
    const char* detail = message;
    if (std::strncmp(detail, kErrorPrefix, sizeof kErrorPrefix - 1) == 0) detail += sizeof kErrorPrefix - 1;
    char text[kFailureTextSize];
    if (error == kCancelled || detail[0] == '\0') {
        std::snprintf(text, sizeof text, "ERROR - %d", error);
    } else {
        std::snprintf(text, sizeof text, "ERROR - %d - %s", error, detail);
    }
    return FailureText(text, kFailureTextSize);
}

char* PackLiveTemplate(BioTask* task) {
    if (!task->verifyFeatures) {
        EndWithoutFeatures(task, "ERROR - The capture ended before a fingerprint was read.");
        return nullptr;
    }
    char* text = PackTemplateText(task->verifyFeatures, task->verifyLength, kDpfpEnvelope,
                                  task->imageWidth, task->imageHeight);
    if (!text) {
        FailStatus(task->status, task->status->error, "ERROR - Fingerprint template could not be packed, size: '%d'",
                   task->verifyLength);
    }
    return text;
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
            EndWithoutFeatures(task, "ERROR - The reader sent an image without fingerprint data.");
        } else if (!task->verifyFeatures) {
            EndWithoutFeatures(task, "ERROR - No verification feature set could be made from the fingerprint.");
        }
        PostFinish(task);
    } else if (kind == DPFP_EVENT_ERROR) {
        EndOnReaderError(task, data);
    } else if (kind == DPFP_EVENT_STOPPED) {
        EndWithoutFeatures(task, "ERROR - The reader stopped before a fingerprint was read.");
    }
}

extern "C" {

char* FK_VerifyServer(void) try {
    const OperationGuard guard;
    if (!guard.entered()) return FailureTextFor(kBusyError, kBusyMessage);
    OwnedStatus status(kOpVerifyServer);
    PLOGD << "Begin";
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
            result.reset(FailureTextFor(status->error, status->message));
            PLOGE << "msg=" << (result ? result.get() : "");
        }
    }
    CloseTaskContexts(&task);
    PumpFlag().store(1);
    session.close();
    PLOGD << "End";
    return result.release();
} catch (...) {
    // The owners above have ended the session and closed the contexts.
    return FailureTextFor(kFailedInsideError, CaughtFailureMessage());
}

int32_t FK_Verify(const char* tpStored, const char* FkStored) try {
    const OperationGuard guard;
    if (!guard.entered()) return 0;
    PLOGD << "Begin";
    const OwnedText live(FK_VerifyServer());
    PLOGD << "ret64=" << LoggedTemplate(live.get());
    // A cancelled or failed capture is never matched: its text is no template.
    if (live && std::strcmp(live.get(), kCancelledCapture) != 0 &&
        std::strncmp(live.get(), kErrorPrefix, sizeof kErrorPrefix - 1) != 0) {
        return FK_VerifyMatch(tpStored, FkStored, "Z", live.get(), nullptr);
    }
    return live ? 0 : FK_VerifyMatch(tpStored, FkStored, "Z", nullptr, nullptr);
} catch (...) {
    return 0;
}

}  // extern "C"
