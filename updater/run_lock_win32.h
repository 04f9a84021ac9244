// One updater run at a time per installation folder: a check that cleans and
// fills the temp folder while an update empties it would leave either of them
// working on the other's half-done state.
#pragma once

#include <boost/filesystem/path.hpp>

#include "unique_handle_win32.h"

class RunLock {
public:
    // Tries to take the lock that file stands for; the file exists only while
    // a run holds it, and the system releases it when that run ends, however
    // it ends.
    explicit RunLock(const boost::filesystem::path& file);

    bool taken() const { return static_cast<bool>(m_handle); }
    // When not taken: whether another run holds the lock (rather than the file
    // being out of reach), and the Windows error code of the attempt.
    bool heldByAnotherRun() const;
    unsigned long error() const { return m_error; }

private:
    UniqueHandle m_handle;
    unsigned long m_error = 0;
};
