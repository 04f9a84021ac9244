#include <windows.h>

#include "log_client.h"
#include "process_start.h"

namespace {

constexpr DWORD kExitWaitMs = 30000;

// A pipe whose one end a child inherits.
struct Pipe {
    win32::UniqueHandle read, write;
};

Pipe MakePipe(bool childReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return Pipe();
    Pipe pipe{win32::UniqueHandle(read), win32::UniqueHandle(write)};
    SetHandleInformation(childReads ? pipe.write.get() : pipe.read.get(), HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

}  // namespace

LogClient::LogClient(const char* library) {
    Pipe input = MakePipe(true);
    Pipe output = MakePipe(false);
    if (!input.read || !output.write) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.read.get();
    startup.hStdOutput = output.write.get();
    startup.hStdError = output.write.get();
    std::string commandLine = std::string("operation_log_client.exe ") + library;
    PROCESS_INFORMATION started{};
    if (!StartChildProcess([&] {
            return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                  &started);
        })) {
        return;
    }
    CloseHandle(started.hThread);
    m_process = win32::UniqueHandle(started.hProcess);
    m_input = std::move(input.write);
    m_output = std::move(output.read);
}

LogClient::~LogClient() {
    // The end of its input ends the client.
    m_input = win32::UniqueHandle();
    if (m_process && WaitForSingleObject(m_process.get(), kExitWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.get(), 1);
    }
}

std::string LogClient::run() {
    DWORD written = 0;
    if (!m_process || !WriteFile(m_input.get(), "run\n", 4, &written, nullptr)) return "(client not running)";
    // Its lines until the answer; anything it says before belongs in a failure message.
    std::string said, line;
    char c;
    DWORD got = 0;
    while (ReadFile(m_output.get(), &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (line.rfind("captured ", 0) == 0) return said + line;
        said += line + " | ";
        line.clear();
    }
    return said + line + "(client ended)";
}
