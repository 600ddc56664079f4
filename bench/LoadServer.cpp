// The board web server on its own for load and soak runs: the board page handler over a board
// fragment of a dozen people, its access lines going to an activity log that a main thread
// drains as the window's GUI thread would. Listens on 127.0.0.1 only.
//   quorvane_load_server [--port N] [--timeout-ms N] [--people N]
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

#include "bench/BenchBoard.h"
#include "text/Clock.h"
#include "text/Strings.h"
#include "ui/ActivityLog.h"
#include "webserver/BoardFragment.h"
#include "webserver/BoardPage.h"
#include "webserver/IdHTTPServer.h"

namespace {

volatile std::sig_atomic_t statsAsked = 0;
volatile std::sig_atomic_t stopAsked = 0;

void OnSignal(int signal) {
    if (signal == SIGUSR1)
        statsAsked = 1;
    else
        stopAsked = 1;
}

int Option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    const int port = Option(argc, argv, "--port", LoadServerPort);
    const int timeoutMs = Option(argc, argv, "--timeout-ms", 30000);
    const int people = Option(argc, argv, "--people", BenchPeople);

    std::signal(SIGUSR1, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    TSystemClock clock;
    TStringList logLines;
    TActivityLog activityLog(logLines, clock);  // this thread plays the GUI thread
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool woken = false;
    activityLog.OnWake = [&] {
        {
            std::lock_guard lock(wakeMutex);
            woken = true;
        }
        wake.notify_one();
    };
    TCountingLogWriter accessLog(activityLog);

    TBoardFragment fragment;
    fragment.Replace(BenchBoardFragment(people));

    TIdHTTPServer server;
    server.SetServerSoftware("BaLtu");
    server.SetRequestTimeoutMs(timeoutMs);
    server.SetListenQueue(BenchListenQueue);
    // Runs follow each other on the same port while the last run's closed connections linger.
    server.SetReuseSocket(TIdReuseSocket::rsTrue);
    server.Bindings().push_back({"127.0.0.1", static_cast<std::uint16_t>(port), TIdIPVersion::Id_IPv4});
    server.OnCommandGet = [&](TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
        ServeBoardPage(fragment.Snapshot(), clock, accessLog, request, response);
    };
    server.SetActive(true);

    const auto printStats = [&] {
        std::printf("stats rss_kb=%ld access_lines=%llu contexts=%zu threads=%zu\n", ResidentKilobytes(),
                    static_cast<unsigned long long>(accessLog.Count()), server.ContextCount(),
                    server.ActiveThreadCount());
        std::fflush(stdout);
    };
    std::printf("ready %d\n", static_cast<int>(server.BoundPort(0)));
    std::fflush(stdout);

    while (!stopAsked) {
        {
            std::unique_lock lock(wakeMutex);
            wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return woken; });
            woken = false;
        }
        activityLog.DrainPending();
        if (statsAsked) {
            statsAsked = 0;
            printStats();
        }
    }
    server.SetActive(false);
    activityLog.DrainPending();
    printStats();
    return 0;
}
