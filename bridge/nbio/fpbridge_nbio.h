// fpbridge_nbio.dll's exports as the library itself and its tests see them: the
// clients' C API (fpbridge_nbio_api.h) with the core's status record and this
// bridge's task record.
#pragma once

#include "bio_status.h"
#include "client_command.h"
#include "fpbridge_nbio_api.h"
#include "nbio_task.h"

static_assert(kBioMessageSize == FPBRIDGE_MESSAGE_SIZE, "clients size the message buffer by the C header");
static_assert(kClientResultRoom == FPBRIDGE_TEMPLATE_TEXT_MAX, "clients size the result buffer by the C header");
