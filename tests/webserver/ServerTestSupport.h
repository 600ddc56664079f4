#pragma once
// Shared pieces of the server tests: a fixed clock, a log that records, a loopback client, and
// a board server on an ephemeral port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>
#include <mutex>
#include <string>
#include <vector>

#include "text/Clock.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"
#include "tests/support/TestDoubles.h"
#include "pages/ClassicPage.h"
#include "pages/PagesConstants.h"
#include "pages/PublishedBoard.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerConstants.h"

namespace quorvane {

// 6 December 2026 17:28:43.
inline DateTime boardTestTime() { return encodeDate(2026, 12, 6) + encodeTime(17, 28, 43, 0); }

struct ClientResult {
    std::string bytes;
    bool closedByServer = false;  // end of stream seen before the time limit
};

// Connects to the loopback address of the family, sends request (optionally closing the sending
// side after it) and reads until the server closes or timeoutMs passes.
inline ClientResult sendRequest(std::uint16_t port, const std::string& request, int timeoutMs = 5000,
                              bool ipv6 = false, bool closeSending = false) {
    ClientResult result;
    sockaddr_in a4{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    sockaddr_in6 a6{AF_INET6, htons(port), 0, in6addr_loopback, 0};
    const int fd = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    if (connect(fd, ipv6 ? reinterpret_cast<sockaddr*>(&a6) : reinterpret_cast<sockaddr*>(&a4),
                ipv6 ? sizeof a6 : sizeof a4) == 0) {
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);  // loopback takes it whole
        if (closeSending) shutdown(fd, SHUT_WR);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buffer[65536];
        for (pollfd entry{fd, POLLIN, 0};;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            result.closedByServer = n <= 0;  // orderly close or reset: the server ended it
            if (n <= 0) break;
            result.bytes.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return result;
}

// A connection to 127.0.0.1:port that sends nothing.
inline int connectSilently(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

// True when the server closed fd within timeoutMs (end of stream or reset), with nothing sent.
inline bool closedWithoutResponse(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) return false;
    char byte;
    return recv(fd, &byte, 1, 0) <= 0;
}

inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

inline std::string boardHead() {
    std::string head;
    for (const auto piece : BoardPageHead) head += piece;
    return head;
}

// The board server as the window sets it up, on a free port; the last request is kept.
class BoardServerFixture {
public:
    BoardServerFixture() {
        setLocaleFormats(FormatSettings::fallback());
        server.setDefaultPort(0);
        server.setHandler([this](const HttpRequest& request, HttpResponse& response) {
            {
                std::lock_guard lock(requestMutex);
                lastRequest_ = request;
            }
            serveBoardPage(fragment.fragment(), clock, log, request, response);
        });
    }
    std::uint16_t start() {
        server.setActive(true);
        return server.boundPort(0);
    }
    HttpRequest lastRequest() {
        std::lock_guard lock(requestMutex);
        return lastRequest_;
    }

    FakeClock clock{boardTestTime()};
    RecordingLog log;
    PublishedBoard fragment;
    std::mutex requestMutex;
    HttpRequest lastRequest_;
    HttpServer server;  // last: stops before the pieces its handler uses
};

}  // namespace quorvane
