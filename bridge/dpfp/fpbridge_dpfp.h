// fpbridge_dpfp.dll's exports as the library itself and its tests see them: the
// clients' C API (fpbridge_dpfp_api.h) with the core's status record.
#pragma once

#include "bio_status.h"
#include "client_command.h"
#include "fpbridge_dpfp_api.h"

// Room a caller gives FK_DeviceSerial.
constexpr int kDeviceSerialSize = FPBRIDGE_DEVICE_SERIAL_SIZE;

static_assert(kBioMessageSize == FPBRIDGE_MESSAGE_SIZE, "clients size the message buffer by the C header");
static_assert(kClientResultRoom == FPBRIDGE_TEMPLATE_TEXT_MAX, "clients size the result buffer by the C header");
