// Records of the driver. The check and update sequences live in functions of
// their own, yet their records keep the operation name "main" by which the
// readers of the log know them. Include it last, after every other header.
#pragma once

#include "plog/Log.h"

#undef PLOG_GET_FUNC
#define PLOG_GET_FUNC() "main"
