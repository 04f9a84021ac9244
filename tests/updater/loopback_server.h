// A scripted HTTP/1.1 server on 127.0.0.1 and an ephemeral port, served from
// one thread that the destructor joins. Each path gets a scripted answer; an
// unknown path gets 404.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct Reply {
    int status = 200;
    std::string body;
    bool cutHalfway = false;     // announce the whole body, send half, close
    int delayMs = 0;             // wait this long after the request before answering
    bool stallHalfway = false;   // announce the whole body, send half, then send nothing more
    std::string headers{};       // more header lines, each ending in "\r\n"
    bool withoutLength = false;  // announce no length: the body ends when the connection closes
    int dripEveryMs = 0;         // send the body one byte at a time, this long apart
    size_t dripAfter = 0;        // with dripEveryMs: send this much of the body at once first
};

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void script(const std::string& path, Reply reply);
    std::string url(const std::string& path) const;
    int requestsFor(const std::string& path);
    // The head (request line and headers) of the latest request for path.
    std::string lastRequestFor(const std::string& path);

private:
    void run();
    void answer(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::map<std::string, Reply> m_replies;
    std::map<std::string, int> m_requests;
    std::map<std::string, std::string> m_lastRequests;
    std::thread m_thread;
};
