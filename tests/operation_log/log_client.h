// The test's end of an operation_log_client process: its standard input and
// output as pipes, the process waited for when the client goes.
#pragma once

#include <string>

#include "unique_handles_win32.h"

class LogClient {
public:
    // Starts operation_log_client.exe (beside this program) over `library`.
    explicit LogClient(const char* library);
    ~LogClient();
    LogClient(const LogClient&) = delete;
    LogClient& operator=(const LogClient&) = delete;

    bool started() const { return static_cast<bool>(m_process); }
    // One round of operations: the client's answer line, or what went wrong.
    std::string run();

private:
    win32::UniqueHandle m_process;
    win32::UniqueHandle m_input;   // the client's standard input, our end
    win32::UniqueHandle m_output;  // its standard output, our end
};
