// The real program, headless, reading people from calendar addresses: a CalDAV calendar on a
// real Radicale with credentials from --netrc-file, and the demo calendar's iCalendar feed. No
// person reads the web calendar, so it is never contacted.
#include <gtest/gtest.h>

#include <ctime>

#include "tests/calendarfetch/CalendarServers.h"
#include "tests/support/E2EHelpers.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;

// A UTC time stamp for iCalendar, and the local "hh:mm" the board shows for it.
std::string utcStamp(std::time_t at)
{
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", std::gmtime(&at));
    return text;
}
std::string localHourMinute(std::time_t at)
{
    char text[8];
    std::strftime(text, sizeof text, "%H:%M", std::localtime(&at));
    return text;
}

TEST(CalendarProgramE2ETest, RowsFromCalDavWithNetrcAndFromAFeed)
{
    if (!RadicaleServer::installed()) GTEST_SKIP() << "radicale is not installed (apt-get install radicale)";
    testApplication();
    const fs::path dir = makeRunDir("calendar-addresses");
    RadicaleServer radicale("ann", "pw");
    ASSERT_TRUE(radicale.error().empty()) << radicale.error();
    const QString calendar = radicale.base() + "/ann/cal/";
    ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "MKCALENDAR", calendar}), 201);
    // A meeting from half an hour ago to half an hour from now (the program runs on the real clock).
    const std::time_t now = std::time(nullptr), end = now + 1800;
    const QByteArray event = QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:m1\r\n") +
                             "DTSTAMP:20261201T000000Z\r\nDTSTART:" + utcStamp(now - 1800).c_str() +
                             "\r\nDTEND:" + utcStamp(end).c_str() +
                             "\r\nSUMMARY:Budget review\r\nLOCATION:Room 4\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "PUT", "-H", "Content-Type: text/calendar", "--data-binary", "@-",
                          calendar + "m1.ics"},
                         event),
              201);
    DemoCalendar feeds(dir);
    ASSERT_GT(feeds.port, 0);

    const fs::path netrc = dir / "netrc";
    std::ofstream(netrc) << "machine 127.0.0.1 login ann password pw\n";
    fs::permissions(netrc, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path credentials = writeCredentials(dir, "unused\nunused\n", fs::perms::owner_read | fs::perms::owner_write);
    std::ofstream(dir / "people.txt") << "\"Ann\"," << calendar.toStdString() << ",\"\"\n"
                                      << "\"Jose\",http://127.0.0.1:" << feeds.port << "/ics/1003.ics,\"J Alvarez\"\n";
    const int port = e2e::freePort();
    Child program({QUORVANE_PROGRAM, "--calendar-host", "calendar.invalid", "--credentials-file", credentials.string(),
                   "--netrc-file", netrc.string(), "--roster", (dir / "people.txt").string(), "--port",
                   std::to_string(port)},
                  dir, dir / "out", dir / "err",
                  HeadlessEnv);
    std::optional<HttpAnswer> page;
    ASSERT_TRUE(waitWhileRunning(program, [&] {
        page = httpGet(port);
        return page && page->body.find("Data refreshed: ") != std::string::npos &&
               page->body.find("Budget review") != std::string::npos;
    }, seconds(60))) << readAll(dir / "out") << readAll(dir / "err");
    EXPECT_NE(page->body.find("<h2>Ann</h2></td><td bgcolor=\"#FFFFFF\" nowrap>Budget review (Room 4) until " +
                              localHourMinute(end)),
              std::string::npos)
        << page->body;
    EXPECT_NE(page->body.find("<small>Note: Leave - J Alvarez</small>"), std::string::npos) << page->body;
    const std::string log = readAll(dir / "out");
    EXPECT_EQ(log.find("Logged in"), std::string::npos) << log;  // the web calendar is never asked
    EXPECT_EQ(log.find("password"), std::string::npos);
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(seconds(10)), 0);
    fs::remove_all(dir);
}

}  // namespace
