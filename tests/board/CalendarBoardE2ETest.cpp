// One board over a mixed roster: a web-calendar person (fake browser), two people on a real
// Radicale (one with the right password, one with a wrong one), one on the demo calendar's
// iCalendar feed and one on a calendar that accepts and never answers, all fetched at once on
// the event loop while the fake browser's passes run beside it. Then the address source alone.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdlib>
#include <functional>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "board/AddressSource.h"
#include "board/BoardController.h"
#include "pages/StatusCell.h"
#include "tests/board/QuietHost.h"
#include "tests/browser/Fakes.h"
#include "tests/calendarfetch/CalendarServers.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

QByteArray event(const char* uid, const char* start, const char* end, const char* summary)
{
    return QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:") + uid +
           "\r\nDTSTAMP:20261201T000000Z\r\nDTSTART" + start + "\r\nDTEND" + end + "\r\nSUMMARY:" + summary +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

class CalendarBoardE2ETest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!RadicaleServer::installed()) GTEST_SKIP() << "radicale is not installed (apt-get install radicale)";
        testApplication();
        zone_ = std::getenv("TZ") ? std::getenv("TZ") : "";
        setenv("TZ", "UTC", 1);
        tzset();
        setLocaleFormats(FormatSettings::dayMonthYear());
        radicale_ = std::make_unique<RadicaleServer>("ann", "pw");
        ASSERT_TRUE(radicale_->error().empty()) << radicale_->error();
        const QString calendar = radicale_->base() + "/ann/cal/";
        ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "MKCALENDAR", calendar}), 201);
        ASSERT_EQ(curlStatus({"-u", "ann:pw", "-X", "PUT", "-H", "Content-Type: text/calendar", "--data-binary", "@-",
                              calendar + "e1.ics"},
                             event("e1", ":20261207T120000Z", ":20261207T130000Z", "Budget review")),
                  201);
        ASSERT_NE(feeds_.port(), 0);

        fs::create_directories(dir_);
        const std::string caldav = radicale_->base().toStdString() + "/ann/cal/";
        const std::string wrong = "http://localhost:" + caldav.substr(caldav.rfind(':') + 1);
        std::ofstream(dir_ / "people.txt")
            << "\"Ann\",101,\"\"\n\"Bob\"," << caldav << ",\"\"\n\"Cy\",http://127.0.0.1:" << feeds_.port()
            << "/ics/1003.ics,\"J Alvarez\"\n\"Dee\"," << wrong << ",\"\"\n\"Eve\","
            << silent_.base().toStdString() << "/eve/,\"\"\n";
        settings_.calendarHost = "cal.test";
        settings_.rosterFile = (dir_ / "people.txt").string();
        settings_.calendarFetch.netrc =
            Netrc::parse("machine 127.0.0.1 login ann password pw\nmachine localhost login ann password wrong\n");
        settings_.calendarFetch.timeoutMs = SilentLimitMs;
        control_.pageFor = [](const std::string&) { return readDayPage("two-meetings.html"); };
    }
    void TearDown() override
    {
        fs::remove_all(dir_);
        if (zone_.empty()) unsetenv("TZ");
        else setenv("TZ", zone_.c_str(), 1);
        tzset();
    }
    static std::string row(const BoardController& board, int person)
    {
        return classicStatusHtml(board.board()->people.at(static_cast<std::size_t>(person)).status);
    }
    // Runs the event loop, with the fake browser's passes, until the refresh has ended or done
    // says so; how long it took.
    qint64 runUntil(BoardController& board, const std::function<bool()>& done = {})
    {
        QElapsedTimer took;
        took.start();
        while (board.refreshRunning() && !(done && done())) {
            control_.step();
            waitPass();
        }
        return took.elapsed();
    }
    static constexpr int SilentLimitMs = 5000;

    std::string zone_;
    fs::path dir_ = fs::temp_directory_path() / ("quorvane-calendar-board-" + std::to_string(getpid()));
    std::unique_ptr<RadicaleServer> radicale_;
    DemoCalendarServer feeds_;
    FakeClock clock_{encodeDate(2026, 12, 7) + encodeTime(12, 30, 0, 0)};
    RecordingLog log_;
    FakeBrowserControl control_{clock_};
    TableServer silent_;  // answers nothing
    QuietHost host_;
    BoardSettings settings_;
};

TEST_F(CalendarBoardE2ETest, MixedRosterOneBoardAndFailuresKeepTheCache)
{
    // The board's own address is only what the fake browser is shown at the end; nothing listens there.
    BoardController board(settings_, "http://127.0.0.1:7350/", control_, log_, clock_, host_, nullptr);
    board.start("jdoe", "pw");
    board.requestRefresh();
    // Every other row is served while Eve's calendar says nothing.
    const qint64 firstRows = runUntil(board, [&] { return board.board() && row(board, 1) != ""; });
    EXPECT_TRUE(board.refreshRunning());
    EXPECT_LT(firstRows, SilentLimitMs / 2);
    runUntil(board);
    EXPECT_EQ(row(board, 4), "");
    EXPECT_EQ(board.board()->people[4].status.state, PersonState::Unknown);

    EXPECT_NE(control_.navigations.front().find("web=login"), std::string::npos);  // Ann reads the web calendar
    EXPECT_EQ(row(board, 1), "Budget review until 13:00");
    EXPECT_EQ(row(board, 2), "<small>Note: Leave - J Alvarez</small>");
    EXPECT_EQ(row(board, 3), "");
    const std::vector<std::string> lines = log_.snapshot();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Calendar of Dee: HTTP 401"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Grabbing Calendar for Bob"), lines.end());

    // Radicale gone at the next grab: Bob keeps what was read, and the log says why.
    radicale_.reset();
    host_.forceGrab = true;
    board.requestRefresh();
    runUntil(board);
    EXPECT_EQ(row(board, 1), "Budget review until 13:00");
    const std::vector<std::string> later = log_.snapshot();
    EXPECT_TRUE(std::any_of(later.begin(), later.end(),
                            [](const std::string& line) { return line.rfind("Calendar of Bob: ", 0) == 0; }));
}

}  // namespace

namespace {

// The address source alone, against a table server: each person reported as their calendar
// answers, then done once; a calendar's warnings logged once per fetch; a failure keeps nothing.
TEST(AddressSourceTest, ReportsEachPersonAsTheyAnswerAndLogsTheCalendarsWarnings)
{
    testApplication();
    TableServer server;
    server.answer("/ann.ics", TableServer::response(200, "Content-Type: text/calendar\r\n",
                                                    event("m1", ";TZID=Mars/Olympus:20261207T120000",
                                                          ";TZID=Mars/Olympus:20261207T130000", "Dust storm drill")));
    server.answer("/bob.ics", TableServer::response(404, "", "gone"));
    const std::string base = server.base().toStdString();
    const Roster roster{{"Ann", base + "/ann.ics", ""}, {"Bob", base + "/bob.ics", ""}, {"Cy", "1003", ""}};
    FakeClock clock{encodeDate(2026, 12, 7) + encodeTime(12, 30, 0, 0)};
    RecordingLog log;
    AddressSource source({}, log, clock);
    EXPECT_TRUE(source.reads(roster[0].itemId));
    EXPECT_FALSE(source.reads(roster[2].itemId));
    const Instant now = instantOfLocal(clock.value);

    for (int grab = 1; grab <= 2; ++grab) {
        std::vector<FetchReport> reports;
        int done = 0;
        source.fetch(roster, {0, 1}, now,
                     FetchListener{[&](const FetchReport& report) { reports.push_back(report); }, [&] { ++done; }});
        for (int pass = 0; pass < 500 && done == 0; ++pass) waitPass();
        ASSERT_EQ(done, 1);
        ASSERT_EQ(reports.size(), 2u);
        std::sort(reports.begin(), reports.end(), [](const FetchReport& a, const FetchReport& b) { return a.person < b.person; });
        EXPECT_EQ(reports[0].after, FetchState::Fetched);
        EXPECT_EQ(reports[1].after, FetchState::Kept);
        EXPECT_EQ(reports[1].failure, "Bob: HTTP 404");
        const std::vector<std::string> lines = log.snapshot();
        EXPECT_EQ(std::count(lines.begin(), lines.end(),
                             "Calendar of Ann: warning: unknown time zone read as local time: Mars/Olympus"), grab);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Calendar of Bob: HTTP 404"), grab);
    }
    EXPECT_EQ(source.compose(roster[0], now).state, PersonState::Meeting);
    EXPECT_TRUE(source.cachedAt(roster[0]).has_value());
    EXPECT_EQ(source.compose(roster[1], now).state, PersonState::Unknown);
    EXPECT_FALSE(source.cachedAt(roster[1]).has_value());
}

// A person's own all-day entry read by the words the source was given: the built-in ones, or
// those with a file's lines added.
TEST(AddressSourceTest, ComposesOwnAllDayEntriesByTheWordsItWasGiven)
{
    testApplication();
    TableServer server;
    server.answer("/ann.ics", TableServer::response(200, "Content-Type: text/calendar\r\n",
                                                    event("d1", ";VALUE=DATE:20261207", ";VALUE=DATE:20261208",
                                                          "Sabbatical")));
    const Roster roster{{"Ann", server.base().toStdString() + "/ann.ics", ""}};
    FakeClock clock{encodeDate(2026, 12, 7) + encodeTime(12, 30, 0, 0)};
    RecordingLog log;
    const struct {
        std::shared_ptr<const AbsenceWords> words;
        PersonState state;
    } cases[] = {{AbsenceWords::builtIn(), PersonState::Note},
                 {AbsenceWords::builtInWith("Sabbatical\n"), PersonState::Leave}};
    for (const auto& c : cases) {
        AddressSource source({}, log, clock, c.words);
        int done = 0;
        source.fetch(roster, {0}, instantOfLocal(clock.value), FetchListener{{}, [&] { ++done; }});
        for (int pass = 0; pass < 500 && done == 0; ++pass) waitPass();
        ASSERT_EQ(done, 1);
        EXPECT_EQ(source.compose(roster[0], instantOfLocal(clock.value)).state, c.state);
    }
}

}  // namespace
