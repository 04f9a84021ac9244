#include "nbio_connection.h"

#include <cstdio>

#include "failure.h"
#include "fpbridge_nbio.h"
#include "module_name.h"
#include "nbio_failures.h"
#include "operation_guard.h"
#include "simulated_reader.h"

namespace {
NBioAPI_HANDLE g_sdk = 0;
int32_t g_authType = 0;
NBioAPI_EXPORT_DATA g_converted{};

void EndInstance(bool closeDevice) {
    if (g_converted.FingerData) NBioAPI_FreeExportData(g_sdk, &g_converted);
    g_converted = NBioAPI_EXPORT_DATA{};
    if (closeDevice) NBioAPI_CloseDevice(g_sdk, kNbioDeviceId);
    NBioAPI_Terminate(g_sdk);
    g_sdk = 0;
}
}  // namespace

NBioAPI_HANDLE NbioSdkHandle() { return g_sdk; }
int32_t NbioAuthType() { return g_authType; }
NBioAPI_EXPORT_DATA* NbioConvertedExport() { return &g_converted; }

void NbioConnectionStart(BioStatus* status, bool openDevice) {
    WarnIfSimulatedReader(kNbioSdkFile);
    if (char* name = ModuleNameBuffer()) std::snprintf(name, kModuleNameSize, "%s", kNbioModuleName);
    // An instance that FK_Init left open would otherwise be lost with its reader.
    if (g_sdk != 0) EndInstance(true);

    const NBioAPI_RETURN initialised = NBioAPI_Init(&g_sdk);
    if (initialised != NBioAPIERROR_NONE) {
        Fail<kNbioInitFailed>(status, status->operation, static_cast<int>(initialised));
    }
    if (openDevice) {
        if (g_sdk != 0) {
            const NBioAPI_RETURN opened = NBioAPI_OpenDevice(g_sdk, kNbioDeviceId);
            if (opened != NBioAPIERROR_NONE) {
                Fail<kNbioInitFailed>(status, status->operation, static_cast<int>(opened));
            }
        } else {
            Fail<kNbioDeviceNotFound>(status);
        }
    }
    if (g_authType == 0) g_authType = 1;
}

void NbioConnectionEnd() {
    if (g_sdk != 0) EndInstance(kNbioDeviceId != 0);
}

extern "C" {

int32_t FK_Init(uint8_t openDevice, BioTask* task) {
    return CatchAll(1, [&] {
        const OperationGuard guard;
        if (!guard.entered()) {
            if (task) Fail<kBusy>(task->status);
            return kBusy.code;
        }
        if (task && task->status && task->status->message) {
            NbioConnectionStart(task->status, openDevice != 0);
            return task->status->error;
        }
        OwnedStatus own(0);
        NbioConnectionStart(own.get(), openDevice != 0);
        return own->error;
    });
}

int32_t FK_Close(int32_t closeDevice) {
    return CatchAll(-1, [&] {
        const OperationGuard guard;
        if (!guard.entered() || g_sdk == 0) return -1;
        EndInstance(closeDevice != 0);
        return 0;
    });
}

// Nothing to do, so nothing to guard: the reader's serial is not offered.
int32_t FK_DeviceSerial(char*) { return 0; }

void FK_SetAuthType(int32_t type) {
    CatchAll([] {}, [&] {
        // Not while an operation reads it.
        const OperationGuard guard;
        if (!guard.entered()) return;
        if (type == 2) {
            g_authType = NBioAPI_FDX_FORMAT_ISO;
        } else if (type != 3) {
            g_authType = 1;
        }
    });
}
}
