// The board web server on its own for load and soak runs: the board page handler over a board
// fragment of a dozen people, its access lines going to an activity log that a main thread
// drains as the window's GUI thread would. Listens on 127.0.0.1 only.
//   quorvane_load_server [--port N] [--timeout-ms N] [--people N] [--max-client-connections N]
// --max-client-connections caps loopback clients too (the program itself exempts loopback), so a
// local burst stands in for one remote address; it also raises the open-file limit as the program does.
// Prints "ready <port>" once listening. SIGUSR1 prints one stats line:
//   stats rss_kb=<resident KB> access_lines=<lines logged> contexts=<live connections> threads=<live threads>
// SIGINT or SIGTERM stops the server, prints the stats line once more and exits.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "bench/BenchBoard.h"
#include "text/Clock.h"
#include "text/LineList.h"
#include "log/ActivityLog.h"
#include "pages/ClassicPage.h"
#include "pages/PublishedBoard.h"
#include "webserver/HttpServer.h"
#include "webserver/OpenFileLimit.h"

namespace {

volatile std::sig_atomic_t statsAsked = 0;
volatile std::sig_atomic_t stopAsked = 0;

void onSignal(int signal) {
    if (signal == SIGUSR1)
        statsAsked = 1;
    else
        stopAsked = 1;
}

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int port = option(argc, argv, "--port", LoadServerPort);
    const int timeoutMs = option(argc, argv, "--timeout-ms", 30000);
    const int people = option(argc, argv, "--people", BenchPeople);
    const int maxClientConnections = option(argc, argv, "--max-client-connections", -1);

    std::signal(SIGUSR1, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    SystemClock clock;
    StringList logLines;
    ActivityLog activityLog(logLines, clock);  // this thread plays the GUI thread
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool woken = false;
    activityLog.onWake = [&] {
        {
            std::lock_guard lock(wakeMutex);
            woken = true;
        }
        wake.notify_one();
    };
    CountingLogWriter accessLog(activityLog);

    PublishedBoard fragment;
    fragment.editFragment(benchBoardFragment(people));

    HttpServer server;
    server.setRequestTimeoutMs(timeoutMs);
    if (maxClientConnections >= 0) {
        raiseOpenFileLimit();
        server.setMaxClientConnections(maxClientConnections, true);
    }
    server.setListenQueue(BenchListenQueue);
    // Runs follow each other on the same port while the last run's closed connections linger.
    server.setReuseSocket(ReuseSocket::On);
    server.bindings().push_back({"127.0.0.1", static_cast<std::uint16_t>(port), IpVersion::IPv4});
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.current()->fragment, clock, accessLog, request, response);
    });
    server.setActive(true);

    const auto printStats = [&] {
        std::printf("stats rss_kb=%ld access_lines=%llu contexts=%zu threads=%zu\n", residentKilobytes(),
                    static_cast<unsigned long long>(accessLog.count()), server.contextCount(),
                    server.activeThreadCount());
        std::fflush(stdout);
    };
    std::printf("ready %d\n", static_cast<int>(server.boundPort(0)));
    std::fflush(stdout);

    while (!stopAsked) {
        bool wasWoken = false;
        {
            std::unique_lock lock(wakeMutex);
            wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return woken; });
            wasWoken = woken;
            woken = false;
        }
        // As the window does: once woken, the lines of the next few milliseconds join the batch.
        if (wasWoken) std::this_thread::sleep_for(std::chrono::milliseconds(LogDrainDelayMs));
        activityLog.drainPending();
        if (statsAsked) {
            statsAsked = 0;
            printStats();
        }
    }
    server.setActive(false);
    activityLog.drainPending();
    printStats();
    return 0;
}
