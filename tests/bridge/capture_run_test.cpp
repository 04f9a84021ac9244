// A capture run whose worker cannot be started: no window is made, and no
// message loop waits for a worker that will never clear the pump flag (the test
// would hang).
#include <windows.h>

#include <gtest/gtest.h>

#include "capture_operation.h"

namespace {

HANDLE WINAPI NoThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

DWORD WINAPI NeverRuns(void*) { return 0; }

TEST(CaptureRun, AWorkerThatCannotStartEndsTheRunCleanly) {
    RegisterCaptureWindowClass(GetModuleHandleA(nullptr), DefWindowProcA);
    BioWindow window{};
    {
        CaptureRun run("no such library", &window, NeverRuns, nullptr, NoThread);
        EXPECT_FALSE(run.started());
        EXPECT_EQ(run.frame(), nullptr);
        run.run();
    }
    EXPECT_EQ(FindWindowA("BioProc", nullptr), nullptr);
    UnregisterCaptureWindowClass(GetModuleHandleA(nullptr));
    ReleaseCaptureWindowBrush();
}

}  // namespace
