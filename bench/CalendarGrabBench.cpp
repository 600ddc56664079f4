// A grab of 100 people's calendars from Radicale (CalDAV REPORT for the day, in parallel within
// the per-host limit) against the same 100 REPORTs made one after another by curl, both in one
// curl process (connection kept) and in one curl process each. Prints the medians of a few
// rounds and the ratio grab / curl; exits 1 when the ratio is above the target. The grab runs on
// the event loop as the board's does, ending with its last person's result.
//   quorvane_calendar_grab_bench
#include <QEventLoop>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/BenchTiming.h"
#include "calendarfetch/CalDavQuery.h"
#include "calendarfetch/CalendarFetcher.h"
#include "tests/calendarfetch/RadicaleServer.h"

using namespace quorvane;

namespace {

constexpr int People = 100;
constexpr int EventsPerCalendar = 5;
constexpr int Rounds = 5;
constexpr double TargetRatio = 1.5;

QString calendarName(int i) { return QString("cal%1").arg(i, 3, 10, QChar('0')); }

}  // namespace

int main() {
    testApplication();
    if (!RadicaleServer::installed()) {
        std::fprintf(stderr, "CalendarGrabBench: radicale is not installed\n");
        return 2;
    }
    RadicaleServer radicale("ann", "pw");
    if (!radicale.error().empty()) {
        std::fprintf(stderr, "CalendarGrabBench: %s\n", radicale.error().c_str());
        return 2;
    }
    const QDate day = QDate::currentDate();
    const QString date = day.toString("yyyyMMdd");
    QStringList calendars;
    for (int i = 0; i < People; ++i) calendars << radicale.base() + "/ann/" + calendarName(i) + "/";

    // One curl per step, each writing to all 100 calendars.
    QProcess curl;
    curl.start("curl", QStringList{"-s", "-o", "/dev/null", "-u", "ann:pw", "-X", "MKCALENDAR"} + calendars);
    curl.waitForFinished(60000);
    for (int e = 0; e < EventsPerCalendar; ++e) {
        const QByteArray event = QString("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\nBEGIN:VEVENT\r\n"
                                         "UID:e%1\r\nDTSTAMP:%2T000000Z\r\nDTSTART:%2T%3\r\nDTEND:%2T%4\r\n"
                                         "SUMMARY:Meeting %1\r\nLOCATION:Room %1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
                                     .arg(e).arg(date).arg(QString("%1").arg(8 + e, 2, 10, QChar('0')) + "0000Z")
                                     .arg(QString("%1").arg(9 + e, 2, 10, QChar('0')) + "0000Z").toUtf8();
        QStringList urls;
        for (const QString& c : calendars) urls << c + QString("e%1.ics").arg(e);
        curl.start("curl", QStringList{"-s", "-o", "/dev/null", "-u", "ann:pw", "-X", "PUT", "-H",
                                       "Content-Type: text/calendar", "--data-binary", "@-"} + urls);
        curl.write(event);
        curl.closeWriteChannel();
        curl.waitForFinished(60000);
    }

    QTemporaryDir dir;
    const QString bodyFile = QDir(dir.path()).filePath("body.xml");
    const QString configFile = QDir(dir.path()).filePath("curl.cfg");
    {
        QFile body(bodyFile);
        body.open(QIODevice::WriteOnly);
        body.write(calendarQueryBody(localDayRange(day)));
        QFile config(configFile);
        config.open(QIODevice::WriteOnly);
        QTextStream out(&config);
        for (const QString& c : calendars) out << "url = \"" << c << "\"\noutput = \"/dev/null\"\n";
    }
    const QStringList reportArgs{"-s", "-f", "-u", "ann:pw", "-X", "REPORT", "-H", "Depth: 1", "-H",
                                 "Content-Type: application/xml; charset=utf-8", "--data-binary", "@" + bodyFile};

    std::vector<FetchTarget> sources;
    for (int i = 0; i < People; ++i) sources.push_back({i, calendars[i]});
    std::vector<double> grab, curlOne, curlEach;
    int events = 0;
    for (int round = 0; round < Rounds; ++round) {
        grab.push_back(elapsedMs([&] {
            CalendarFetchSettings settings;
            settings.netrc = Netrc::parse("machine 127.0.0.1 login ann password pw");
            CalendarFetcher fetcher(std::move(settings));
            events = 0;
            QEventLoop loop;
            fetcher.onResult = [&](const CalendarFetchResult&) {
                if (fetcher.finished()) loop.quit();
            };
            fetcher.start(sources, day);
            if (!fetcher.finished()) loop.exec();
            for (const CalendarFetchResult& result : fetcher.results()) {
                if (!result.ok) std::fprintf(stderr, "CalendarGrabBench: %s\n", result.failure.c_str());
                events += static_cast<int>(result.calendars.size());
            }
        }));
        curlOne.push_back(elapsedMs([&] {
            QProcess one;
            one.start("curl", reportArgs + QStringList{"-K", configFile});
            one.waitForFinished(120000);
        }));
        curlEach.push_back(elapsedMs([&] {
            for (const QString& c : calendars) {
                QProcess each;
                each.start("curl", reportArgs + QStringList{"-o", "/dev/null", c});
                each.waitForFinished(60000);
            }
        }));
    }
    const double grabMs = medianOf(grab), oneMs = medianOf(curlOne), eachMs = medianOf(curlEach);
    const double ratio = grabMs / oneMs;
    std::printf("calendar grab of %d people (%d events read): %.1f ms (median of %d)\n", People, events, grabMs,
                Rounds);
    std::printf("curl, the same %d REPORTs one after another in one process: %.1f ms\n", People, oneMs);
    std::printf("curl, one process per REPORT: %.1f ms\n", eachMs);
    std::printf("ratio grab / curl one process: %.2fx (target <= %.1fx); grab / curl per process: %.2fx\n", ratio,
                TargetRatio, grabMs / eachMs);
    return ratio <= TargetRatio && events == People * EventsPerCalendar ? 0 : 1;
}
