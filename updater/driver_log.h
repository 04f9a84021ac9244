// The operation name of the driver's records. The check and update sequences
// live in functions of their own, yet their records keep the name "main" by
// which the readers of the log know them: each one says so with PLOGx_AS.
#pragma once

#include "plog/Log.h"

constexpr char kMain[] = "main";
