// FK_Capture: one finger captured in the capture window, returned as packed
// template text; and FK_CaptureAndVerify, that finger matched at once.
#include <cstdlib>
#include <cstring>

#include "capture_operation.h"
#include "fpbridge_nbio.h"
#include "failure.h"
#include "nbio_connection.h"
#include "nbio_failures.h"
#include "nbio_sdk_records.h"
#include "nbio_window_win32.h"
#include "operation_guard.h"
#include "template_text.h"

namespace {

constexpr int32_t kCaptureTimeoutMs = 15000;
constexpr size_t kFailureTextSize = 512;
constexpr char kPrompt[] = "Aproxime o dedo do dispositivo.";

void SetCaptureFailure(BioStatus* status, NBioAPI_RETURN result) {
    switch (result) {
        case NBioAPIERROR_INVALID_HANDLE: Fail<kNbioCaptureInvalidHandle>(status); break;
        case NBioAPIERROR_INVALID_POINTER: Fail<kNbioCaptureInvalidPointer>(status); break;
        case NBioAPIERROR_DEVICE_NOT_OPENED: Fail<kNbioCaptureDeviceNotOpened>(status); break;
        case NBioAPIERROR_CAPTURE_TIMEOUT: Fail<kNbioCaptureTimedOut>(status); break;
        case NBioAPIERROR_FAKE_SUSPICIOUS: Fail<kNbioCaptureFakeSuspicious>(status); break;
        default: Fail<kNbioCaptureFailed>(status, static_cast<int>(result)); break;
    }
}

void TakeTextFir(BioTask* task, NBioAPI_HANDLE sdk) {
    BioStatus* status = task->status;
    const NBioAPI_RETURN freed = NBioAPI_FreeTextFIR(sdk, &task->textFir);
    if (freed != NBioAPIERROR_NONE) {
        Fail<kNbioTextFirNotFreed>(status, static_cast<int32_t>(freed));
        return;
    }
    const NBioAPI_RETURN made = NBioAPI_GetExtendedTextFIRFromHandle(sdk, task->capturedFir, &task->textFir, 0,
                                                                     NBioAPI_TEXTFIR_FORMAT_EXTENDED);
    if (made == NBioAPIERROR_INVALID_HANDLE) {
        Fail<kNbioTextFirInvalidHandle>(status);
    } else if (made == NBioAPIERROR_INVALID_POINTER) {
        Fail<kNbioTextFirInvalidPointer>(status);
    } else if (made != NBioAPIERROR_NONE) {
        Fail<kNbioTextFirFailed>(status, static_cast<int>(made));
    }
    if (made == NBioAPIERROR_NONE && task->textFir.TextFIR) {
        task->inputData = task->textFir.TextFIR;
        task->inputLength = static_cast<int32_t>(std::strlen(task->textFir.TextFIR));
    }
}

void TakeFdx(BioTask* task, NBioAPI_HANDLE sdk, int32_t formatType) {
    NBioAPI_FreeExportData(sdk, &task->exported);
    NBioAPI_INPUT_FIR input = HandleInput(&task->capturedFir);
    if (NBioAPI_NBioBSPToFDx(sdk, &input, &task->exported, formatType) != NBioAPIERROR_NONE) return;
    if (const NBioAPI_TEMPLATE_DATA* sample = FirstSample(task->exported)) {
        task->inputData = sample->Data;
        task->inputLength = static_cast<int32_t>(sample->Length);
    }
}

DWORD WINAPI CaptureWorker(void* parameter) {
    auto* task = static_cast<BioTask*>(parameter);
    const NBioAPI_HANDLE sdk = NbioSdkHandle();
    NBioAPI_WINDOW_OPTION option = CaptureWindowOption(*task->window);
    task->capturedFir = 0;
    NBioAPI_FreeFIRHandle(sdk, task->capturedFir);

    BioStatus* status = task->status;
    status->error = 0;
    status->success = true;
    const NBioAPI_RETURN captured = NBioAPI_Capture(sdk, NBioAPI_FIR_PURPOSE_VERIFY, &task->capturedFir,
                                                    kCaptureTimeoutMs, &task->auditFir, &option);
    if (captured != NBioAPIERROR_NONE) {
        SetCaptureFailure(status, captured);
    } else {
        if (NbioAuthType() == 1) {
            task->textFir = NBioAPI_FIR_TEXTENCODE{};
            TakeTextFir(task, sdk);
        } else {
            task->exported = NBioAPI_EXPORT_DATA{};
            TakeFdx(task, sdk, NbioAuthType());
        }
        // A capture without template bytes has no template text.
        if (!task->inputData || task->inputLength <= 0) status->success = false;
    }
    FinishCaptureWorker(task->window);
    return status->success ? 1 : 0;
}

// Everything the worker obtained from the SDK, released when this goes: before
// the instance ends, on every path.
class CaptureObjects {
public:
    explicit CaptureObjects(BioTask* task) : m_task(task) {}
    ~CaptureObjects() {
        const NBioAPI_HANDLE sdk = NbioSdkHandle();
        if (m_task->textFir.TextFIR) NBioAPI_FreeTextFIR(sdk, &m_task->textFir);
        if (m_task->exported.FingerData) NBioAPI_FreeExportData(sdk, &m_task->exported);
        if (m_task->capturedFir) NBioAPI_FreeFIRHandle(sdk, m_task->capturedFir);
        if (m_task->auditFir) NBioAPI_FreeFIRHandle(sdk, m_task->auditFir);
        m_task->capturedFir = m_task->auditFir = 0;
        m_task->inputData = nullptr;
    }
    CaptureObjects(const CaptureObjects&) = delete;
    CaptureObjects& operator=(const CaptureObjects&) = delete;

private:
    BioTask* m_task;
};

char* Capture() {
    OwnedStatus status(kOpCapture);
    BioWindow window{};
    BioTask task{};
    task.window = &window;
    task.status = status.get();

    OwnedText result;
    {
        const NbioConnection connection(status.get(), true);
        if (status->error == 0) {
            const CaptureObjects objects(&task);
            if (!RunCaptureOperation(kNbioModuleName, kPrompt, &window, CaptureWorker, &task)) {
                Fail<kNbioCaptureWorkerNotStarted>(status.get());
            }
            if (status->success) {
                result.reset(PackTemplateText(static_cast<const unsigned char*>(task.inputData), task.inputLength,
                                              kNbioEnvelope));
                if (!result) {
                    // A text that could not be unpacked again is no template.
                    Fail<kNbioNotPacked>(status.get(), task.inputLength);
                }
            }
        }
    }
    if (!status->success) result.reset(FailureText(status->message, kFailureTextSize));
    PumpFlag().store(1);
    return result.release();
}

}  // namespace

extern "C" {

char* FK_Capture(const char*, int32_t) {
    // On a failure inside, the owners in Capture have released the SDK's
    // objects and ended the instance.
    return CatchAll([] { return FailureText(CaughtFailure().text, kFailureTextSize); },
                       [] {
                           const OperationGuard guard;
                           return guard.entered() ? Capture() : FailureText<kBusy>(kFailureTextSize);
                       });
}

char* FK_VerifyServer(void) { return FK_Capture(nullptr, 1); }

int32_t FK_CaptureAndVerify(const char* stored) {
    return CatchAll(-1, [&] {
        const OperationGuard guard;
        if (!guard.entered()) return -1;
        const OwnedText captured(FK_Capture(nullptr, 1));
        // A capture whose FDx conversion failed gives an empty text: no template either.
        if (!captured || captured.get()[0] == '\0' || std::strncmp(captured.get(), "ERROR", 5) == 0) return -1;
        return FK_Match(stored, captured.get());
    });
}
}
