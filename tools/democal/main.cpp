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

using namespace quorvane;

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

void writeLogLine(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    DemoCommandLine options;
    try {
        options = parseDemoCommandLine(argc, argv);
    } catch (const DemoError& error) {
        std::cerr << "quorvane-democal: " << error.what() << "\n" << demoUsage();
        return ExitUsage;
    }
    if (options.help) {
        std::cout << demoUsage();
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
        if (options.certOut) tls.writeCertificate(*options.certOut);
        DemoCalendar calendar(options.calendar);
        DemoServer server(calendar, tls, options.calendar.fault, writeLogLine);
        std::uint16_t port = server.acceptLoop(options.port);
        std::printf("%u\n", static_cast<unsigned>(port));
        std::fflush(stdout);

        bool drained = true;
        std::thread acceptor([&] { drained = server.run(); });
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
        acceptor.join();
        writeLogLine("democal: stopped");
        if (!drained) std::_Exit(0);  // connection threads still hold the server
        return 0;
    } catch (const QuorvaneError& error) {
        writeLogLine(std::string("quorvane-democal: ") + error.what());
        return ExitFailure;
    }
}
