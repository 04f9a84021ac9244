// One updater run at a time per installation folder: a check that cleans and
// fills the temp folder while an update empties it would leave either of them
// working on the other's half-done state.
#pragma once

#include <boost/filesystem/path.hpp>

class RunLock {
public:
    // Tries to take the lock that file stands for; the file exists only while
    // a run holds it, and the system releases it when that run ends, however
    // it ends.
    explicit RunLock(const boost::filesystem::path& file);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    bool taken() const { return m_handle != nullptr; }
    // When not taken: whether another run holds the lock (rather than the file
    // being out of reach), and the Windows error code of the attempt.
    bool heldByAnotherRun() const;
    unsigned long error() const { return m_error; }

private:
    void* m_handle = nullptr;  // HANDLE
    unsigned long m_error = 0;
};
