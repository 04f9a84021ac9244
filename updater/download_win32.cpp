#include "download_win32.h"

// clang-format off
#include <windows.h>
#include <wininet.h>
// clang-format on

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#include "file_handle.h"
#include "unique_handles_win32.h"

namespace {

constexpr size_t kReadBufferBytes = 1 << 20;

void reportError(const char* label, unsigned long code) {
    std::cerr << label << code << "." << std::endl;
}

// Closes a WinINet handle at the end of a download, reporting a failure; on an
// early return the owner closes it without a report.
bool closeReporting(win32::UniqueInternet& handle) {
    if (InternetCloseHandle(handle.release())) return true;
    reportError("InternetClose(): ", GetLastError());
    return false;
}

// The end of a call that WinINet finishes later, on a thread of its own: the
// session is asynchronous because only then can a read take all that has
// arrived without waiting for more (see copyBody).
struct Completion {
    win32::UniqueHandle done{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    DWORD error = 0;
    // What a call that completes later may still be given: the read's buffer
    // and its description, and where a query for data writes its answer.
    std::vector<char> buffer;
    INTERNET_BUFFERSA chunk{};
    DWORD available = 0;
    bool abandoned = false;
};

// WinINet keeps the addresses that a call which has not completed was given:
// a completion given up on stays allocated for it, with all they point to.
struct DeleteUnlessAbandoned {
    void operator()(Completion* completion) const {
        if (!completion->abandoned) delete completion;
    }
};
using UniqueCompletion = std::unique_ptr<Completion, DeleteUnlessAbandoned>;

void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, void* information, DWORD) {
    if (status != INTERNET_STATUS_REQUEST_COMPLETE || context == 0) return;
    auto* completion = reinterpret_cast<Completion*>(context);
    completion->error = static_cast<const INTERNET_ASYNC_RESULT*>(information)->dwError;
    SetEvent(completion->done.get());
}

// 0 when the call succeeded, at once or once it completed; else the Windows
// error code of the call or of its completion. WinINet ends a silent server's
// call with its own time-outs; a completion that still has not come long
// after them ends the download as they would have.
DWORD finish(BOOL done, Completion& completion) {
    if (done) return 0;
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    if (WaitForSingleObject(completion.done.get(), 2 * kNetworkTimeoutMs + 5000) != WAIT_OBJECT_0) {
        completion.abandoned = true;
        return ERROR_INTERNET_TIMEOUT;
    }
    return completion.error;
}

HINTERNET openSession() {
    HINTERNET session = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    if (!session) {
        reportError("InternetOpen(): ", GetLastError());
        return nullptr;
    }
    if (InternetSetStatusCallbackA(session, onStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
        reportError("InternetOpen(): ", GetLastError());
        InternetCloseHandle(session);
        return nullptr;
    }
    return session;
}

std::string part(const char* text, DWORD length) {
    return text ? std::string(text, length) : std::string();
}

// The parts of an http or https URL that a request is made of.
struct UrlParts {
    bool secure = false;
    std::string host;
    INTERNET_PORT port = 0;
    std::string user;
    std::string password;
    std::string object;  // path and query
};

bool crackUrl(const std::string& url, UrlParts& parts) {
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    // Non-zero lengths ask for pointers into url and the lengths of the parts.
    components.dwHostNameLength = 1;
    components.dwUserNameLength = 1;
    components.dwPasswordLength = 1;
    components.dwUrlPathLength = 1;
    components.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) {
        reportError("InternetOpenUrl(): ", GetLastError());
        return false;
    }
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) {
        // The same code InternetOpenUrl gives for a scheme it cannot open.
        reportError("InternetOpenUrl(): ", ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        return false;
    }
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts.host = part(components.lpszHostName, components.dwHostNameLength);
    parts.port = components.nPort;
    parts.user = part(components.lpszUserName, components.dwUserNameLength);
    parts.password = part(components.lpszPassword, components.dwPasswordLength);
    parts.object = part(components.lpszUrlPath, components.dwUrlPathLength) +
                   part(components.lpszExtraInfo, components.dwExtraInfoLength);
    if (parts.object.empty()) parts.object = "/";
    return true;
}

bool setTimeouts(HINTERNET handle) {
    DWORD milliseconds = kNetworkTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (!InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds)) {
            reportError("InternetSetOption(): ", GetLastError());
            return false;
        }
    }
    return true;
}

// Sends a GET for the URL's object. The request is built from its parts,
// rather than with InternetOpenUrl, because only a request handle takes a
// receive time-out that bounds reading the body (under Wine, one set on the
// session leaves a stalled read hanging), and it must be set before the
// request is sent. The response comes from the server itself: the cache is
// neither read nor written, and proxies are asked not to answer from theirs.
bool sendRequest(HINTERNET connection, const UrlParts& parts, Completion& completion, win32::UniqueInternet& request) {
    const char* acceptTypes[] = {"*/*", nullptr};
    DWORD flags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    if (parts.secure) flags |= INTERNET_FLAG_SECURE;
    request.reset(HttpOpenRequestA(connection, "GET", parts.object.c_str(), nullptr, nullptr, acceptTypes, flags,
                                   reinterpret_cast<DWORD_PTR>(&completion)));
    if (!request) {
        reportError("InternetOpenUrl(): ", GetLastError());
        return false;
    }
    if (!setTimeouts(request.get())) return false;
    const DWORD error = finish(HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0), completion);
    if (error != 0) reportError("InternetOpenUrl(): ", error);
    return error == 0;
}

bool queryStatus(HINTERNET request, DWORD& status) {
    DWORD size = sizeof status;
    status = 0;
    if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return true;
    reportError("HttpQueryInfo(): ", GetLastError());
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

// Copies the body into out, stopping once it holds more than maxBytes or the
// rate stays under the speed limit for its window; 0 or the Windows error code
// of the failed read. received counts the bytes stored.
DWORD copyBody(HINTERNET request, Completion& completion, std::FILE* out, uint64_t maxBytes, SpeedLimit speedLimit,
               unsigned long long& received, bool& writeFailed, bool& tooSlow) {
    LowSpeedWatch watch(speedLimit, LowSpeedWatch::Clock::now());
    // A read that waits fills all it asks for, whatever the pace: a server
    // that slowed to a drip would hold it, and the run, for as long as it
    // liked. A read that does not wait takes what has arrived, up to the whole
    // buffer, and when nothing has, it completes later, once something has,
    // without data: the next read takes it. The buffer is large because each
    // read costs the same whatever it brings (under Wine some 90 us, where a
    // synchronous session would bring 8 KiB at most).
    std::vector<char>& buffer = completion.buffer;
    buffer.resize(kReadBufferBytes);
    INTERNET_BUFFERSA& chunk = completion.chunk;
    const auto context = reinterpret_cast<DWORD_PTR>(&completion);
    for (;;) {
        chunk = INTERNET_BUFFERSA{};
        chunk.dwStructSize = sizeof chunk;
        chunk.lpvBuffer = buffer.data();
        chunk.dwBufferLength = static_cast<DWORD>(buffer.size());
        const BOOL read = InternetReadFileExA(request, &chunk, IRF_NO_WAIT, context);
        DWORD count = 0;
        DWORD error = finish(read, completion);
        if (error == 0 && read) {
            count = chunk.dwBufferLength;
            // An empty read is the end of the body; asking what is left
            // makes sure of it.
            if (count == 0) {
                completion.available = 0;
                error = finish(InternetQueryDataAvailable(request, &completion.available, 0, context), completion);
                if (error == 0 && completion.available == 0) return 0;
            }
        }
        if (error != 0) {
            reportError("InternetReadFile(): ", error);
            return error;
        }
        if (count > 0 && std::fwrite(buffer.data(), 1, count, out) != count) writeFailed = true;
        received += count;
        if (writeFailed || received > maxBytes) return 0;
        tooSlow = watch.tooSlow(received, LowSpeedWatch::Clock::now());
        if (tooSlow) return 0;
    }
}

}  // namespace

bool downloadFile(std::string url, boost::filesystem::path folder, std::string fileName, uint64_t maxBytes,
                  SpeedLimit speedLimit) {
    UrlParts parts;
    if (!crackUrl(url, parts)) return false;
    // Before the handles: it must outlive them.
    UniqueCompletion completion(new Completion);
    if (!completion->done) {
        reportError("CreateEvent(): ", GetLastError());
        return false;
    }
    win32::UniqueInternet session(openSession());
    if (!session) return false;
    win32::UniqueInternet connection(InternetConnectA(
        session.get(), parts.host.c_str(), parts.port, parts.user.empty() ? nullptr : parts.user.c_str(),
        parts.password.empty() ? nullptr : parts.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        reportError("InternetOpenUrl(): ", GetLastError());
        return false;
    }
    win32::UniqueInternet request;
    if (!sendRequest(connection.get(), parts, *completion, request)) return false;
    DWORD status = 0;
    if (!queryStatus(request.get(), status)) return false;
    if (status >= 400) {
        std::cerr << "HTTP status: " << status << "." << std::endl;
        return false;
    }
    unsigned long long expected = 0;
    const bool announced = announcedLength(request.get(), expected);
    if (announced && expected > maxBytes) {
        std::cerr << "Body too large: " << expected << " bytes announced, at most " << maxBytes << " taken."
                  << std::endl;
        return false;
    }
    const boost::filesystem::path target = folder / fileName;
    UniqueFile out = openFile(target, "wb");
    if (!out) return false;
    unsigned long long received = 0;
    bool writeFailed = false;
    bool tooSlow = false;
    const DWORD readError =
        copyBody(request.get(), *completion, out.get(), maxBytes, speedLimit, received, writeFailed, tooSlow);
    if (!closeFile(out) || writeFailed) {
        std::cerr << "fwrite(): " << errno << "." << std::endl;
        return false;
    }
    if (readError != 0) return false;
    if (tooSlow) {
        std::cerr << "Too slow: under " << speedLimit.bytesPerSecond << " bytes a second for "
                  << speedLimit.window.count() / 1000.0 << " s." << std::endl;
        boost::system::error_code ignored;
        boost::filesystem::remove(target, ignored);
        return false;
    }
    // A body without an announced length is measured as it comes.
    if (received > maxBytes) {
        std::cerr << "Body too large: more than " << maxBytes << " bytes." << std::endl;
        boost::system::error_code ignored;
        boost::filesystem::remove(target, ignored);
        return false;
    }
    // A connection that drops mid-body can look like a normal end of data.
    if (announced && expected != received) {
        std::cerr << "Incomplete body: " << received << " of " << expected << " bytes." << std::endl;
        boost::system::error_code ignored;
        boost::filesystem::remove(target, ignored);
        return false;
    }
    return closeReporting(request) && closeReporting(connection) && closeReporting(session);
}
