// The NITGEN bridge's process-wide SDK state and the start and end of one
// operation's connection to the SDK and the reader.
#pragma once

#include <cstdint>

#include "NBioAPI.h"
#include "bio_status.h"

constexpr NBioAPI_DEVICE_ID kNbioDeviceId = NBioAPI_DEVICE_ID_AUTO;
constexpr char kNbioModuleName[] = "fpbridge_nbio.dll";
// The reader SDK's library, which the bridge imports.
constexpr char kNbioSdkFile[] = "NBioBSP.dll";

NBioAPI_HANDLE NbioSdkHandle();
// 1: text-encoded FIR templates; any other value: FDx templates of that format.
int32_t NbioAuthType();

// The export record of FK_Convert's latest FIR -> FDx conversion: the bytes it
// hands out point into it, so it lives until the next conversion or the end of
// the instance.
NBioAPI_EXPORT_DATA* NbioConvertedExport();

// Starts an SDK instance (ending one that FK_Init left open) and, when asked,
// opens the reader. Failures set status->error to 1 with their message.
void NbioConnectionStart(BioStatus* status, bool openDevice);
// Closes the reader and ends the instance, if one is open.
void NbioConnectionEnd();

// One operation's connection: started with the object, ended when it goes, on
// every path.
class NbioConnection {
public:
    NbioConnection(BioStatus* status, bool openDevice) { NbioConnectionStart(status, openDevice); }
    ~NbioConnection() { NbioConnectionEnd(); }
    NbioConnection(const NbioConnection&) = delete;
    NbioConnection& operator=(const NbioConnection&) = delete;
};
