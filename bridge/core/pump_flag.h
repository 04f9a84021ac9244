// The pump flag, which keeps a capture window's message loop running: 1 at
// load and after every operation, window or not. Whoever ends a run clears it
// before posting the message that wakes the loop, so that the loop sees it clear.
#pragma once

#include <atomic>
#include <cstdint>

std::atomic<int32_t>& PumpFlag();
