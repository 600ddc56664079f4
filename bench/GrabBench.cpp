// One grab per person against the browser's bare page load of the same day view, both through
// the embedded browser against quorvane-democal on loopback. A grab is what the refresh does per
// person: navigate, follow the passes until the redirect and the day view are in, then read the
// markup.
// The bare load is the same navigation timed from the page's own load-finished signals.
//   quorvane_grab_bench [--rounds N]
// Prints "RESULT grab key=value..." with ratio = mean grab / mean bare load.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/Roster.h"
#include "browser/BrowserDriver.h"
#include "browser/CalendarAddress.h"
#include "calendarfetch/CalendarRequest.h"
#include "browser/WebEngineControl.h"
#include "text/Clock.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"

namespace {

constexpr int LoadLimitMs = 30000;  // a bare load that takes longer counts as failed

class SilentLog final : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

// Navigates and runs the event loop until documents have completed; milliseconds, or -1.
double bareLoad(WebEngineControl& control, const std::string& url, int documents) {
    QEventLoop loop;
    int finished = 0;
    const auto connection = QObject::connect(control.page(), &QWebEnginePage::loadFinished, &loop, [&](bool) {
        if (++finished == documents) loop.quit();
    });
    QTimer::singleShot(LoadLimitMs, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    control.navigate(url);
    loop.exec();
    QObject::disconnect(connection);
    return finished >= documents ? timer.nsecsElapsed() / 1e6 : -1.0;
}

// The refresh's steps for one person: the load with its redirect, then the markup read, each
// answered through the event loop.
double grabOnce(BrowserDriver& driver, const std::string& url, std::size_t& bytes) {
    QEventLoop loop;
    QElapsedTimer timer;
    timer.start();
    bytes = 0;
    driver.load(url, true, [&](WaitOutcome) {
        driver.captureMarkup([&](std::optional<std::string> markup) {
            bytes = markup ? markup->size() : 0;
            loop.quit();
        });
    });
    loop.exec();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    prepareWebEngineProcess();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rounds = 3;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);

    QTemporaryDir dir;
    const QString pem = dir.filePath("democal.pem");
    QProcess democal;
    democal.start(QUORVANE_DEMOCAL, {"--port", "0", "--cert-out", pem});
    if (!democal.waitForReadyRead(10000)) {
        std::fprintf(stderr, "grab bench: quorvane-democal did not start\n");
        return 2;
    }
    const std::string host = "127.0.0.1:" + democal.readLine().trimmed().toStdString();

    Roster roster;
    loadRoster(roster, QUORVANE_DEMO_PEOPLE);
    QWidget window;
    window.resize(1024, 768);
    WebEngineControl control(&window, calendarTrust(host, loadCalendarCa(pem.toStdString())));
    window.show();
    SystemClock clock;
    SilentLog log;
    BrowserDriver driver(control, log, clock);

    {
        QEventLoop loop;
        driver.load(loginAddress(host, "demo", "demo"), false, [&](WaitOutcome) { loop.quit(); });
        loop.exec();
    }
    const std::string date = dateTimeToText("yyyy/mm/dd", clockNow(), FormatSettings::dayMonthYear());
    std::size_t bytes = 0;
    grabOnce(driver, dayViewAddress(host, date, roster[0].itemId), bytes);  // warm-up

    double bareTotal = 0, grabTotal = 0;
    int samples = 0, failures = 0;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < roster.size(); ++i) {
            const std::string url = dayViewAddress(host, date, roster[i].itemId);
            // Alternate which goes first, so neither always finds the other's warm state.
            double bare, grab;
            if ((round + i) % 2 == 0) {
                bare = bareLoad(control, url, 2);
                grab = grabOnce(driver, url, bytes);
            } else {
                grab = grabOnce(driver, url, bytes);
                bare = bareLoad(control, url, 2);
            }
            if (bare < 0 || bytes == 0) {
                ++failures;
                continue;
            }
            bareTotal += bare;
            grabTotal += grab;
            ++samples;
        }
    }
    democal.terminate();
    democal.waitForFinished(5000);
    if (samples == 0) {
        std::fprintf(stderr, "grab bench: no page loaded\n");
        return 2;
    }
    const double bare = bareTotal / samples, grab = grabTotal / samples;
    std::printf("RESULT grab people=%d rounds=%d samples=%d failures=%d bare_ms=%.1f grab_ms=%.1f ratio=%.2f\n",
                static_cast<int>(roster.size()), rounds, samples, failures, bare, grab, grab / bare);
    return grab / bare <= 1.3 ? 0 : 1;
}
