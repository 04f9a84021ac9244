// FK_Verify (live finger against a stored template) and its worker.
#include <cstring>
#include <memory>

#include "capture_operation.h"
#include "failure.h"
#include "fpbridge_nbio.h"
#include "nbio_connection.h"
#include "nbio_failures.h"
#include "nbio_sdk_records.h"
#include "nbio_window_win32.h"
#include "operation_guard.h"
#include "nbio_templates.h"

namespace {

constexpr char kPrompt[] = "Aproxime o dedo do dispositivo.";

DWORD WINAPI VerifyWorker(void* parameter) {
    auto* task = static_cast<BioTask*>(parameter);
    BioStatus* status = task->status;
    NBioAPI_WINDOW_OPTION option = CaptureWindowOption(*task->window);
    NBioAPI_FIR_PAYLOAD payload{};
    NBioAPI_BOOL matched = 0;
    const NBioAPI_RETURN verified =
        NBioAPI_Verify(NbioSdkHandle(), static_cast<const NBioAPI_INPUT_FIR*>(task->inputData), &matched, &payload,
                       -1, nullptr, &option);
    if (verified == NBioAPIERROR_NONE) {
        status->success = true;
        status->error = 0;
        status->matched = matched == 1;
    } else {
        switch (verified) {
            case NBioAPIERROR_INVALID_HANDLE: Fail<kNbioVerifyInvalidHandle>(status); break;
            case NBioAPIERROR_INVALID_POINTER: Fail<kNbioVerifyInvalidPointer>(status); break;
            case NBioAPIERROR_DATA_CANNOT_BE_DECRYPTED: Fail<kNbioVerifyNotDecrypted>(status); break;
            default: Fail<kNbioVerifyFailed>(status, static_cast<int>(verified)); break;
        }
    }
    FinishCaptureWorker(task->window);
    return static_cast<DWORD>(status->error);
}

void VerifyStored(BioStatus* status, const char* kind, const char* stored) {
    TemplateBytes bytes;
    const TemplateFault fault = ReadTemplate(kind, stored, &bytes);
    if (fault == TemplateFault::kDecode) {
        Fail<kNbioVerifyNotDecoded>(status);
        return;
    }
    if (fault != TemplateFault::kNone) {
        Fail<kNbioStoredSizes>(status);
        return;
    }
    SdkTemplateInput input(NbioSdkHandle(), NbioAuthType(), bytes);
    BioWindow window{};
    BioTask task{};
    task.window = &window;
    task.status = status;
    task.inputData = const_cast<NBioAPI_INPUT_FIR*>(input.record());
    RunCaptureOperation(kNbioModuleName, kPrompt, &window, VerifyWorker, &task);
}

int32_t Verify(const char* kind, const char* stored) {
    OwnedStatus status(kOpVerify);
    {
        const NbioConnection connection(status.get(), true);
        if (status->error == 0) {
            if (!stored || !*stored) {
                Fail<kNbioInvalidParameter>(status.get());
            } else {
                VerifyStored(status.get(), kind, stored);
            }
        }
    }
    PumpFlag().store(1);
    return status->matched ? 1 : 0;
}

}  // namespace

extern "C" int32_t FK_Verify(const char* kind, const char* stored) {
    return CatchAll(0, [&] {
        const OperationGuard guard;
        return guard.entered() ? Verify(kind, stored) : 0;
    });
}
