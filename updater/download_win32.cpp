#include "download_win32.h"

// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "file_handle.h"

namespace {

void reportError(const char* label, unsigned long code) {
    std::cerr << label << code << "." << std::endl;
}

// One WinINet handle. close() reports a failure; the destructor releases a
// handle still open on an early return without reporting.
class InetHandle {
public:
    explicit InetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InetHandle() {
        if (m_handle) InternetCloseHandle(m_handle);
    }
    InetHandle(const InetHandle&) = delete;
    InetHandle& operator=(const InetHandle&) = delete;

    HINTERNET get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    bool close() {
        const BOOL closed = InternetCloseHandle(m_handle);
        m_handle = nullptr;
        if (!closed) reportError("InternetClose(): ", GetLastError());
        return closed != FALSE;
    }

private:
    HINTERNET m_handle;
};

HINTERNET openSession() {
    HINTERNET session = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session) reportError("InternetOpen(): ", GetLastError());
    return session;
}

// The HTTP status, or 0 when the handle is not an HTTP one (ftp:, file:).
bool queryStatus(HINTERNET request, DWORD& status) {
    DWORD size = sizeof status;
    status = 0;
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_INTERNET_INCORRECT_HANDLE_TYPE) return true;
    reportError("HttpQueryInfo(): ", error);
    return false;
}

// The length the server announced, when it announced one.
bool announcedLength(HINTERNET request, unsigned long long& length) {
    char text[32];
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    char* end = nullptr;
    length = std::strtoull(text, &end, 10);
    return end != text && *end == '\0';
}

// Copies the body into out; 0 or the Windows error code of the failed read.
// received counts the bytes stored.
DWORD copyBody(HINTERNET request, std::FILE* out, unsigned long long& received, bool& writeFailed) {
    // Under Wine each read costs tens of microseconds whatever its size;
    // 1 KiB reads made a 50 MB package take seconds on loopback.
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD count = 0;
        DWORD error = 0;
        if (!InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &count)) {
            error = GetLastError();
            reportError("InternetReadFile(): ", error);
        }
        if (count > 0 && std::fwrite(buffer.data(), 1, count, out) != count) writeFailed = true;
        received += count;
        if (error != 0 || count == 0 || writeFailed) return error;
    }
}

}  // namespace

bool downloadFile(std::string url, boost::filesystem::path folder, std::string fileName) {
    InetHandle session(openSession());
    if (!session) return false;
    InetHandle request(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, 0, 0));
    if (!request) {
        reportError("InternetOpenUrl(): ", GetLastError());
        return false;
    }
    DWORD status = 0;
    if (!queryStatus(request.get(), status)) return false;
    if (status >= 400) {
        std::cerr << "HTTP status: " << status << "." << std::endl;
        return false;
    }
    const boost::filesystem::path target = folder / fileName;
    UniqueFile out = openFile(target, "wb");
    if (!out) return false;
    unsigned long long received = 0;
    bool writeFailed = false;
    const DWORD readError = copyBody(request.get(), out.get(), received, writeFailed);
    if (!closeFile(out) || writeFailed) {
        std::cerr << "fwrite(): " << errno << "." << std::endl;
        return false;
    }
    if (readError != 0) return false;
    // A connection that drops mid-body can look like a normal end of data.
    unsigned long long expected = 0;
    if (announcedLength(request.get(), expected) && expected != received) {
        std::cerr << "Incomplete body: " << received << " of " << expected << " bytes." << std::endl;
        boost::system::error_code ignored;
        boost::filesystem::remove(target, ignored);
        return false;
    }
    return request.close() && session.close();
}
