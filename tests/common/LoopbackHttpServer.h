// A tiny HTTP server on 127.0.0.1 for the network tests: each path answers with a chosen status,
// body and pace, and can stall. Header-only so every test program can use it (link ws2_32).
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qmtest {

struct HttpReply {
    int status = 200;
    std::string reason = "OK";
    std::string body;
    bool contentLength = true;      // false: no length, the end of the body is the closed connection
    std::string extraHeaders;       // whole lines, each ending in "\r\n"
    size_t chunk = 0;               // bytes per send; 0 sends the body at once
    DWORD chunkDelayMs = 0;         // pause before each chunk
    bool stallBeforeReply = false;  // read the request, then never answer
    long long stallAfter = -1;      // send the headers and this many body bytes, then say nothing more
};

class LoopbackHttpServer {
public:
    // port 0: any free port.
    explicit LoopbackHttpServer(int port = 0)
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        stop_ = CreateEventA(NULL, TRUE, FALSE, NULL);
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (port != 0) {
            // A fixed port is taken again by the next test while the last one's connections linger.
            BOOL reuse = TRUE;
            setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char *>(&reuse), sizeof(reuse));
        }
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<u_short>(port));
        bound_ = bind(listen_, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) == 0;
        listen(listen_, 16);
        int len = sizeof(addr);
        getsockname(listen_, reinterpret_cast<sockaddr *>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        acceptor_ = std::thread([this] { AcceptLoop(); });
    }
    ~LoopbackHttpServer()
    {
        stopping_ = true;
        SetEvent(stop_);
        closesocket(listen_);
        acceptor_.join();
        std::vector<std::thread> workers;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            workers.swap(workers_);
        }
        for (std::thread &t : workers) t.join();
        CloseHandle(stop_);
        WSACleanup();
    }
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    int Port() const { return port_; }
    bool Listening() const { return bound_; }   // false when the port was taken
    std::string Url(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // Unknown paths answer 404.
    void Set(const std::string &path, const HttpReply &reply)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        routes_[path] = reply;
    }
    // The raw head (request line and headers) of every request, in arrival order.
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void AcceptLoop()
    {
        for (;;) {
            SOCKET s = accept(listen_, NULL, NULL);
            if (s == INVALID_SOCKET || stopping_) {
                if (s != INVALID_SOCKET) closesocket(s);
                return;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            workers_.emplace_back([this, s] { Serve(s); });
        }
    }

    // Waits ms, or less when the server stops; true when it stops.
    bool Wait(DWORD ms) { return WaitForSingleObject(stop_, ms) == WAIT_OBJECT_0; }

    bool SendAll(SOCKET s, const char *p, size_t n)
    {
        while (n > 0) {
            int sent = send(s, p, static_cast<int>(n), 0);
            if (sent <= 0) return false;
            p += sent;
            n -= static_cast<size_t>(sent);
        }
        return true;
    }

    void Serve(SOCKET s)
    {
        std::string head;
        char buf[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            int got = recv(s, buf, sizeof(buf), 0);
            if (got <= 0) break;
            head.append(buf, static_cast<size_t>(got));
        }
        std::string path;
        size_t sp1 = head.find(' '), sp2 = head.find(' ', sp1 + 1);
        if (sp1 != std::string::npos && sp2 != std::string::npos) path = head.substr(sp1 + 1, sp2 - sp1 - 1);
        HttpReply reply;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(head.substr(0, head.find("\r\n\r\n")));
            auto it = routes_.find(path);
            if (it != routes_.end()) {
                reply = it->second;
            } else {
                reply.status = 404;
                reply.reason = "Not Found";
                reply.body = "not here";
            }
        }
        if (reply.stallBeforeReply) {
            Wait(INFINITE);
            closesocket(s);
            return;
        }
        std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
        if (reply.contentLength) out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        out += reply.extraHeaders + "Connection: close\r\n\r\n";
        bool ok = SendAll(s, out.data(), out.size());
        size_t limit = reply.body.size();
        if (reply.stallAfter >= 0 && static_cast<size_t>(reply.stallAfter) < limit)
            limit = static_cast<size_t>(reply.stallAfter);
        size_t step = reply.chunk ? reply.chunk : (limit ? limit : 1);
        for (size_t at = 0; ok && at < limit; at += step) {
            if (reply.chunkDelayMs && Wait(reply.chunkDelayMs)) break;
            size_t n = limit - at < step ? limit - at : step;
            ok = SendAll(s, reply.body.data() + at, n);
        }
        if (ok && reply.stallAfter >= 0) Wait(INFINITE);
        shutdown(s, SD_SEND);
        closesocket(s);
    }

    SOCKET listen_ = INVALID_SOCKET;
    HANDLE stop_ = NULL;
    int port_ = 0;
    bool bound_ = false;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::map<std::string, HttpReply> routes_;
    std::vector<std::string> requests_;
};

}  // namespace qmtest
