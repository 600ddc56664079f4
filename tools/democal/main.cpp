// quorvane-democal: a small calendar server for first runs and end-to-end tests of the board.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoErrors.h"
#include "tools/democal/DemoOptions.h"
#include "tools/democal/DemoServer.h"
#include "tools/democal/DemoTls.h"

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

void WriteLogLine(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    DemoCommandLine options;
    try {
        options = ParseDemoCommandLine(argc, argv);
    } catch (const EDemoError& error) {
        std::cerr << "quorvane-democal: " << error.what() << "\n" << DemoUsage();
        return ExitUsage;
    }
    if (options.Help) {
        std::cout << DemoUsage();
        return 0;
    }

    // Signals go to the waiting main thread only; a closed connection must not kill the process.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        DemoTls tls;
        if (options.CertOut) tls.WriteCertificate(*options.CertOut);
        DemoCalendar calendar(options.Calendar);
        DemoServer server(calendar, tls, options.Calendar.Fault, WriteLogLine);
        std::uint16_t port = server.Listen(options.Port);
        std::printf("%u\n", static_cast<unsigned>(port));
        std::fflush(stdout);

        bool drained = true;
        std::thread acceptor([&] { drained = server.Run(); });
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
        acceptor.join();
        WriteLogLine("democal: stopped");
        if (!drained) std::_Exit(0);  // connection threads still hold the server
        return 0;
    } catch (const EQuorvaneError& error) {
        WriteLogLine(std::string("quorvane-democal: ") + error.what());
        return ExitFailure;
    }
}
