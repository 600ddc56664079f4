#pragma once
// The listening side: one loopback port for HTTPS and plain HTTP (the first byte of a connection
// tells them apart: 0x16 starts a TLS handshake), a thread per connection, one request per
// connection, one line per request on the log.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoTls.h"

struct ssl_st;

namespace quorvane {

class DemoServer {
public:
    using LogSink = std::function<void(const std::string& line)>;

    DemoServer(DemoCalendar& calendar, const DemoTls& tls, DemoFault fault, LogSink log);
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    // Listens on 127.0.0.1 (and on ::1 with the same port when the host has it); port 0 takes
    // any free port. Returns the port; raises DemoError when it cannot listen.
    std::uint16_t acceptLoop(std::uint16_t port);
    // Accepts connections until Stop(), then waits (bounded) for the open ones to end. Returns
    // false when some were still open after the wait.
    bool run();
    // Makes Run() return; safe from any thread.
    void stop();

private:
    void serve(int fd);
    void serveRequest(int fd, ssl_st* ssl, bool tls);
    bool hold(int fd, int limitMs);
    void lingerAndClose(int fd);
    void finished(int fd);

    DemoCalendar& calendar_;
    const DemoTls& tls_;
    DemoFault fault_;
    LogSink log_;
    std::vector<int> listeners_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<int> slowItemRequests_{0};  // slow-item: requests of the slow day view so far
    std::mutex mutex_;
    std::condition_variable idle_;
    std::set<int> open_;  // connection sockets being served
};

}  // namespace quorvane
