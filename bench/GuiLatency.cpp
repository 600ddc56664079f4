// GUI event latency while the board web server takes full load: the activity log in its text
// box, in the operator window's client area, receives an access line for every request that wrk sends to a
// server in the same process, and a timer on the GUI thread ticking every 10 ms measures how
// late each tick runs.
//   quorvane_gui_latency_bench [--seconds S] [--connections C] [--port N]
// Prints "RESULT gui latency key=value..."; exit 1 when a late tick reached 100 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/BenchBoard.h"
#include "text/Clock.h"
#include "log/ActivityLog.h"
#include "ui/WindowControls.h"
#include "ui/LogBoxBinding.h"
#include "ui/TextBoxLines.h"
#include "pages/ClassicPage.h"
#include "pages/PublishedBoard.h"
#include "webserver/HttpServer.h"

namespace {

constexpr int TickMs = 10;
constexpr int BaselineMs = 2000;   // ticks measured before the load starts
constexpr double TargetMs = 100.0;

int option(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

struct Lateness {
    double p50 = 0, p99 = 0, max = 0;
    std::size_t ticks = 0;
};

Lateness summarise(std::vector<double> samples) {
    Lateness out;
    if (samples.empty()) return out;
    std::sort(samples.begin(), samples.end());
    out.ticks = samples.size();
    out.p50 = samples[samples.size() / 2];
    out.p99 = samples[(samples.size() - 1) * 99 / 100];
    out.max = samples.back();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = option(argc, argv, "--seconds", 20);
    const int connections = option(argc, argv, "--connections", 64);
    const int port = option(argc, argv, "--port", LoadServerPort + 2);

    // The operator window's client area, so the log box is the program's, set up as it is there.
    WindowControls client(new QWidget);
    client.show();
    QPlainTextEdit& logEdit = *client.logEdit;
    TextBoxLines lines(logEdit);
    SystemClock clock;
    ActivityLog log(lines, clock);
    bindLogToTextBox(log, logEdit);
    CountingLogWriter accessLog(log);

    PublishedBoard fragment;
    fragment.editFragment(benchBoardFragment(BenchPeople));
    HttpServer server;
    server.setListenQueue(BenchListenQueue);
    server.setReuseSocket(ReuseSocket::On);
    server.bindings().push_back({"127.0.0.1", static_cast<std::uint16_t>(port), IpVersion::IPv4});
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.fragment(), clock, accessLog, request, response);
    });
    server.setActive(true);

    std::vector<double> baseline, loaded;
    std::vector<double>* samples = &baseline;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(TickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.isValid()) samples->push_back(std::max(0.0, sinceTick.nsecsElapsed() / 1e6 - TickMs));
        sinceTick.start();
    });
    ticker.start();

    QProcess wrk;
    QString wrkOutput;
    QTimer::singleShot(BaselineMs, [&] {
        samples = &loaded;
        wrk.start("wrk", {"-t2", "-c" + QString::number(connections), "-d" + QString::number(seconds) + "s",
                          "-H", "Connection: close", "http://127.0.0.1:" + QString::number(port) + "/"});
    });
    QObject::connect(&wrk, &QProcess::finished, [&] {
        wrkOutput = QString::fromUtf8(wrk.readAllStandardOutput());
        app.quit();
    });
    QObject::connect(&wrk, &QProcess::errorOccurred, [&](QProcess::ProcessError) {
        std::fprintf(stderr, "gui latency: wrk could not run\n");
        app.exit(2);
    });
    const int code = app.exec();
    ticker.stop();
    server.setActive(false);
    log.drainPending();
    if (code != 0) return code;

    long requests = 0;
    double rps = 0;
    for (const QString& line : wrkOutput.split('\n')) {
        if (line.contains("requests in")) requests = line.trimmed().section(' ', 0, 0).toLong();
        if (line.startsWith("Requests/sec:")) rps = line.section(':', 1).trimmed().toDouble();
    }
    const Lateness idle = summarise(baseline), busy = summarise(loaded);
    std::printf("RESULT gui latency max_ms=%.1f p99_ms=%.1f p50_ms=%.1f ticks=%zu baseline_max_ms=%.1f "
                "requests=%ld rps=%.0f access_lines=%llu log_lines=%d\n",
                busy.max, busy.p99, busy.p50, busy.ticks, idle.max, requests, rps,
                static_cast<unsigned long long>(accessLog.count()), lines.count());
    return busy.max < TargetMs ? 0 : 1;
}
