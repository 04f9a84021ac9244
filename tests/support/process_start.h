// Starting a test's child process, again when Wine's own start-up of it fails.
//
// Under Wine a CreateProcess now and then fails with ERROR_INTERNAL_ERROR: the
// new process ended inside Wine before it reported itself started, so none of
// its code ran and nothing it would change has changed. A test that met this
// failed for a reason that has nothing to do with what it tests, so such a
// start is tried again, a few times at most.
#pragma once

#include <windows.h>

// `start` makes one CreateProcess call and returns its result.
template <class Start>
BOOL StartChildProcess(Start start) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        if (start()) return TRUE;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) return FALSE;
        Sleep(50);
        SetLastError(error);
    }
}
