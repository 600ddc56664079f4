#pragma once
// Shared pieces of the server tests: a fixed clock, a log that records, a loopback client, and
// a board server on an ephemeral port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "text/Clock.h"
#include "text/DateTime.h"
#include "ui/LogWriter.h"
#include "webserver/BoardFragment.h"
#include "webserver/BoardPage.h"
#include "webserver/IdHTTPServer.h"
#include "webserver/ServerConstants.h"

// 6 December 2026 17:28:43.
class TFixedClock final : public TClock {
public:
    TDateTime Now() const override { return EncodeDate(2026, 12, 6) + EncodeTime(17, 28, 43, 0); }
};

class TRecordingLog final : public TLogWriter {
public:
    void Log(const std::string& text, bool) override {
        std::lock_guard lock(mutex);
        lines.push_back(text);
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex);
        return lines;
    }
    std::mutex mutex;
    std::vector<std::string> lines;
};

struct TClientResult {
    std::string bytes;
    bool closedByServer = false;  // end of stream seen before the time limit
};

// Connects to the loopback address of the family, sends request (optionally closing the sending
// side after it) and reads until the server closes or timeoutMs passes.
inline TClientResult Exchange(std::uint16_t port, const std::string& request, int timeoutMs = 5000,
                              bool ipv6 = false, bool closeSending = false) {
    TClientResult result;
    const int fd = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    sockaddr_storage address{};
    socklen_t length;
    if (ipv6) {
        auto& a = reinterpret_cast<sockaddr_in6&>(address);
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(port);
        a.sin6_addr = in6addr_loopback;
        length = sizeof a;
    } else {
        auto& a = reinterpret_cast<sockaddr_in&>(address);
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof a;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(fd);
        return result;
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    if (closeSending) shutdown(fd, SHUT_WR);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            result.closedByServer = true;  // orderly close or reset: the server ended the connection
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

inline std::string BoardHead() {
    std::string head;
    for (const auto piece : BoardPageHead) head += piece;
    return head;
}

// The board server as the window sets it up, on a free port; the last request is kept.
class TBoardServerFixture {
public:
    TBoardServerFixture() {
        SetLocaleFormats(TFormatSettings::Fallback());
        server.SetDefaultPort(0);
        server.SetServerSoftware(std::string(BoardServerSoftware));
        server.OnCommandGet = [this](TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
            {
                std::lock_guard lock(requestMutex);
                lastRequest = request;
            }
            ServeBoardPage(fragment.Snapshot(), clock, log, request, response);
        };
    }
    std::uint16_t Start() {
        server.SetActive(true);
        return server.BoundPort(0);
    }
    TIdHTTPRequestInfo LastRequest() {
        std::lock_guard lock(requestMutex);
        return lastRequest;
    }

    TFixedClock clock;
    TRecordingLog log;
    TBoardFragment fragment;
    std::mutex requestMutex;
    TIdHTTPRequestInfo lastRequest;
    TIdHTTPServer server;  // last: stops before the pieces its handler uses
};
