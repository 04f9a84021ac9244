// FK_Init and FK_Close (the SDK session of one operation), the reader serial,
// and the exports this bridge has no use for.
#include "dpfp_session.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "DPFPApi.h"
#include "dpfp_failures.h"
#include "failure.h"
#include "fpbridge_dpfp.h"
#include "module_name.h"
#include "operation_guard.h"
#include "plog/Log.h"
#include "simulated_reader.h"

void GetResultText(int32_t code, char* out) {
    const char* text = "An unknown exception occurred.";
    switch (code) {
        case 0: text = "The function succeeded."; break;
        case 1: text = "The fingerprint comparison module is not initialized."; break;
        case 8:
        case -8: text = "An internal error occurred."; break;
        case 9: text = "Key Not Found"; break;
        case 11:
        case -10: text = "The fingerprint reader is not known."; break;
        case 12: text = "The function has timed out."; break;
        case -1:
            text = "The fingerprint feature extraction module or the fingerprint comparison module could not find an "
                   "initialization setting.";
            break;
        case -2: text = "One or more parameters are not valid."; break;
        case -3: text = "The called function was not implemented"; break;
        case -4: text = "A generic I/O file error occurred."; break;
        case -7: text = "There is not enough memory to perform the action."; break;
        case -9: text = "Initialization settings are corrupted."; break;
        case -11: text = "A buffer is not valid."; break;
        case -16: text = "The specified fingerprint feature set or fingerprint template buffer size is too small."; break;
        case -17: text = "The given context is not valid."; break;
        case -29: text = "The feature set purpose is not valid."; break;
        case -32: text = "Decrypted fingerprint features are not valid. Decryption may have failed."; break;
        default: break;
    }
    std::snprintf(out, kResultTextSize, "%s", text);
}

void CloseTaskContexts(BioTask* task) {
    if (task->extraction) FX_closeContext(task->extraction);
    if (task->comparison) MC_closeContext(task->comparison);
    task->extraction = 0;
    task->comparison = 0;
}

void SessionEnd::close() noexcept {
    if (m_closed) return;
    m_closed = true;
    FK_Close();
}

extern "C" {

int32_t FK_Init(uint8_t, BioTask* task) {
    return CatchAll(-7, [&] {
        const OperationGuard guard;
        if (!guard.entered()) {
            if (task) Fail<kBusy>(task->status);
            return kBusy.code;
        }
        // A caller without a status of its own still gets a session.
        std::unique_ptr<OwnedStatus> own;
        BioStatus* status = task && task->status && task->status->message ? task->status : nullptr;
        if (!status) {
            own = std::make_unique<OwnedStatus>(0);
            status = own->get();
        }
        PLOGD_AS("FK_Init") << "Begin FK_Init";
        WarnIfSimulatedReader(kDpfpSdkFile);
        if (char* name = ModuleNameBuffer()) std::snprintf(name, kModuleNameSize, "%s", kDpfpModuleName);
        if (DPFPInit() == DPFP_ALREADY_INITIALISED) {
            Fail<kDpfpDeviceInUse>(status, status->operation);
            PLOGE_AS("FK_Init") << status->message;
        }
        const FX_RESULT fx = FX_init();
        if (fx != 0) {
            Fail<kDpfpFxInitFailed>(status, fx, status->operation);
            PLOGE_AS("FK_Init") << status->message;
            PLOGE_AS("FK_Init") << "End FK_Init iRet=" << fx;
            return fx;
        }
        const MC_RESULT mc = MC_init();
        if (mc != 0) {
            Fail<kDpfpMcInitFailed>(status, mc, status->operation);
            PLOGE_AS("FK_Init") << status->message;
            PLOGE_AS("FK_Init") << "End FK_Init iRet=" << mc;
            return mc;
        }
        PLOGD_AS("FK_Init") << "End FK_Init iRet=" << 0;
        return 0;
    });
}

int32_t FK_Close(void) {
    return CatchAll(0, [] {
        // Not the session of an operation that another caller runs.
        const OperationGuard guard;
        if (!guard.entered()) return 0;
        PLOGD_AS("FK_Close") << "Begin FK_Close";
        const FX_RESULT fx = FX_terminate();
        const MC_RESULT mc = MC_terminate();
        DPFPTerm();
        PLOGD_AS("FK_Close") << "End FK_Close";
        return fx == 0 && mc == 0 ? 1 : 0;
    });
}

int32_t FK_DeviceSerial(char* out) {
    return CatchAll(1, [&] {
        // Its own session would end that of a running operation.
        const OperationGuard guard;
        if (!out || !guard.entered()) return 1;
        std::memset(out, 0, 8);
        DPFPInit();
        uint32_t count = 0;
        DPFP_READER_ID* readers = nullptr;
        if (DPFPEnumerateDevices(&count, &readers) != DPFP_OK) {
            DPFPTerm();
            return 1;
        }
        if (count > 0 && readers) {
            DPFP_DEVICE_INFO info{};
            if (DPFPGetDeviceInfo(&readers[count - 1], &info) == DPFP_OK) {
                // The low byte of each UTF-16 unit, and always a terminated text
                // inside the caller's 128 bytes.
                constexpr int kRoom = kDeviceSerialSize - 1;
                int i = 0;
                for (; i < kRoom && i < DPFP_DEVICE_SERIAL_UNITS && info.serialNumber[i] != 0; ++i) {
                    out[i] = static_cast<char>(info.serialNumber[i] & 0xFF);
                }
                out[i] = '\0';
            }
        }
        DPFPTerm();
        return 0;
    });
}

// Exports with nothing to do here, so nothing to guard.
void FK_SetAuthType(int32_t) {}

intptr_t FK_Convert(int32_t, void*, int32_t*, int32_t) { return 0; }

}  // extern "C"
