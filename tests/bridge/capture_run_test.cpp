// A capture run whose worker cannot be started: no message loop waits for a
// worker that will never clear the pump flag (the test would hang), and the
// window goes.
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
    HWND frame = nullptr;
    {
        CaptureRun run("no such library", &window);
        frame = run.frame();
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(run.run(NeverRuns, nullptr, NoThread));
    }
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(window.frame, nullptr);
    UnregisterCaptureWindowClass(GetModuleHandleA(nullptr));
    ReleaseCaptureWindowBrush();
}

}  // namespace
