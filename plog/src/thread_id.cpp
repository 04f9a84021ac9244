#include "plog/Record.h"

#ifdef _WIN32
// Declared here rather than through <windows.h>, which this layer does not need otherwise.
extern "C" __declspec(dllimport) unsigned long __stdcall GetCurrentThreadId(void);
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace plog::util {

uint64_t currentThreadId() {
#ifdef _WIN32
    return GetCurrentThreadId();
#else
    return static_cast<uint64_t>(::syscall(SYS_gettid));
#endif
}

}  // namespace plog::util
