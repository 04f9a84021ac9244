#include "loopback_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace {

class Socket {
public:
    explicit Socket(SOCKET socket) : m_socket(socket) {}
    ~Socket() {
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET get() const { return m_socket; }

private:
    SOCKET m_socket;
};

bool waitReadable(SOCKET socket, long milliseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &timeout) > 0;
}

bool sendAll(SOCKET socket, const char* data, size_t size) {
    while (size > 0) {
        const int chunk = static_cast<int>(size < 65536 ? size : 65536);
        const int sent = send(socket, data, chunk, 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

const char* reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

LoopbackServer::LoopbackServer() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup");
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (m_listener == INVALID_SOCKET || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 8) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (m_listener != INVALID_SOCKET) closesocket(m_listener);
        WSACleanup();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer() {
    m_stop = true;
    m_thread.join();
    closesocket(m_listener);
    WSACleanup();
}

void LoopbackServer::script(const std::string& path, Reply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies[path] = std::move(reply);
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int LoopbackServer::requestsFor(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests[path];
}

std::string LoopbackServer::lastRequestFor(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastRequests[path];
}

void LoopbackServer::run() {
    while (!m_stop) {
        if (!waitReadable(m_listener, 50)) continue;
        Socket client(accept(m_listener, nullptr, nullptr));
        if (client.get() != INVALID_SOCKET) answer(client.get());
    }
}

void LoopbackServer::answer(SOCKET client) {
    std::string request;
    char buffer[4096];
    // A request head is small; a client that sends none within a few seconds is dropped.
    for (int rounds = 0; request.find("\r\n\r\n") == std::string::npos && rounds < 100; ++rounds) {
        if (!waitReadable(client, 50)) continue;
        const int count = recv(client, buffer, sizeof buffer, 0);
        if (count <= 0 || request.size() > 65536) return;
        request.append(buffer, static_cast<size_t>(count));
    }
    const size_t start = request.find(' ');
    const size_t end = start == std::string::npos ? start : request.find(' ', start + 1);
    if (end == std::string::npos) return;
    const std::string path = request.substr(start + 1, end - start - 1);
    Reply reply{404, "no such file"};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_requests[path];
        m_lastRequests[path] = request.substr(0, request.find("\r\n\r\n"));
        const auto found = m_replies.find(path);
        if (found != m_replies.end()) reply = found->second;
    }
    if (reply.delayMs > 0) Sleep(static_cast<DWORD>(reply.delayMs));
    const std::string head =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) +
        "\r\nContent-Type: application/octet-stream\r\n" +
        (reply.withoutLength ? std::string() : "Content-Length: " + std::to_string(reply.body.size()) + "\r\n") +
        "Connection: close\r\n" + reply.headers + "\r\n";
    if (!sendAll(client, head.data(), head.size())) return;
    const bool half = reply.cutHalfway || reply.stallHalfway;
    const size_t bodyBytes = half ? reply.body.size() / 2 : reply.body.size();
    if (reply.dripEveryMs > 0) {
        const size_t atOnce = std::min(reply.dripAfter, bodyBytes);
        if (!sendAll(client, reply.body.data(), atOnce)) return;
        for (size_t i = atOnce; i < bodyBytes && !m_stop; ++i) {
            if (!sendAll(client, reply.body.data() + i, 1)) return;
            Sleep(static_cast<DWORD>(reply.dripEveryMs));
        }
    } else if (!sendAll(client, reply.body.data(), bodyBytes)) {
        return;
    }
    // A stalled server keeps the connection open until the client gives up
    // (or long past any time-out of the client's).
    if (reply.stallHalfway) waitReadable(client, 100000);
    shutdown(client, SD_SEND);
    // Let the client read everything before the socket closes.
    while (waitReadable(client, 2000) && recv(client, buffer, sizeof buffer, 0) > 0) {
    }
}
