#include "pump_flag.h"

std::atomic<int32_t>& PumpFlag() {
    static std::atomic<int32_t> flag{1};
    return flag;
}
