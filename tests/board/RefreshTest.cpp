// Whole refreshes over a fake browser serving fixture day views: log lines, addresses, grab and
// no grab, fake time, force grab, grabs asked for mid-refresh, failures, coalesced requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <sstream>

#include "board/Refresh.h"
#include "pages/ClassicPage.h"
#include "pages/StatusCell.h"
#include "browser/CalendarAddress.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"

namespace {

constexpr DateTime TestDay = 46362;  // 6 December 2026
using TextLines = std::vector<std::string>;

// A person's cell in a published snapshot.
std::string cell(const SharedSnapshot& snapshot, std::size_t person)
{
    return classicStatusHtml(snapshot->people.at(person).status);
}

struct FakeHost : RefreshHost {
    std::string fakeTime, fragment = "previous board";
    bool forceGrab = false;
    int timerEnables = 0;
    std::string fakeTimeText() const override { return fakeTime; }
    bool forceGrabChecked() const override { return forceGrab; }
    void setForceGrabChecked(bool checked) override { forceGrab = checked; }
    void enableRefreshTimer() override { ++timerEnables; }
};

struct RefreshTest : ::testing::Test {
    FormatSettings saved = *localeFormats();
    FakeClock clock{TestDay + 10.0 / 24};
    RecordingLog log;
    FakeBrowserControl control{clock};
    Roster roster;
    BoardState state;
    BrowserDriver driver{control, log, clock, state.pageLoaded};
    FakeHost host;
    SharedSnapshot published;
    // As the program shows it: the fragment of every snapshot the refresh publishes.
    RefreshCycle cycle{roster, state, driver, log, clock, host,
                       [this](SharedSnapshot snapshot) {
                           published = std::move(snapshot);
                           host.fragment = classicFragment(*published, false);
                       },
                       "cal.test", "http://127.0.0.1:7350/"};
    std::vector<std::string> files = {"two-meetings.html", "day-events.html", "mixed.html"};

    void SetUp() override
    {
        setLocaleFormats(FormatSettings::dayMonthYear());
        roster.personName = {"Ann", "Bob", "Cy"};
        roster.calendarItemId = {"101", "102", "103"};
        roster.leaveTag = {"", "J Smith", "K Lee"};
        roster.dayPageHtml = {"", "", ""};
        state = {.grabPending = true, .userId = "jdoe", .password = "pw&1"};
        // A day view redirects, so it completes as two documents.
        control.planFor = [](const std::string& url) {
            return url.find("viewpub") != std::string::npos ? std::vector<int>{1, 2} : std::vector<int>{1};
        };
        control.pageFor = [this](const std::string& url) {
            for (int i = 0; i < 3; ++i) {
                if (url.find("resultSelect=10" + std::to_string(i + 1)) != std::string::npos) return readDayPage(files[i]);
            }
            return std::string("<BODY>Welcome</BODY>");
        };
    }
    void TearDown() override { setLocaleFormats(saved); }
    long count(const std::string& line) const { return std::count(log.lines.begin(), log.lines.end(), line); }
};

TextLines readLines(const std::string& name)
{
    std::istringstream in(readDayPage(name));
    TextLines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::string Ann = "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>";

TEST_F(RefreshTest, GrabLogsInFetchesEachPersonAndWritesTheBoard)
{
    cycle.requestRefresh();
    EXPECT_EQ(log.lines, readLines("grab-refresh.log"));
    EXPECT_EQ(host.fragment, readDayPage("grab-refresh-fragment.html"));
    const auto day = [](const char* id) { return dayViewAddress("cal.test", "2026/12/06", id); };
    EXPECT_EQ(control.navigations, (TextLines{loginAddress("cal.test", "jdoe", "pw&1"), day("101"), day("102"), day("103"),
                                          "http://127.0.0.1:7350/"}));
    EXPECT_FALSE(state.grabPending);
    EXPECT_EQ(host.timerEnables, 1);
    EXPECT_EQ(state.dataTime, TestDay + 10.0 / 24);
}

TEST_F(RefreshTest, WithoutGrabCachedPagesFollowTheClock)
{
    cycle.requestRefresh();
    clock.value = TestDay + 11.5 / 24;
    control.navigations.clear();
    cycle.requestRefresh();
    EXPECT_EQ(control.navigations, TextLines{"http://127.0.0.1:7350/"});
    EXPECT_EQ(count("Starting"), 1);
    EXPECT_EQ(cell(published, 0), "");  // nothing in progress: shown as a blank
    EXPECT_NE(host.fragment.find("<h2>Ann</h2></td><td bgcolor=\"#FFFFFF\" nowrap>&nbsp;</td>"), std::string::npos);
    EXPECT_NE(host.fragment.find("Data refreshed: 06/12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, FakeTimeDatesTheFetchButNotTheGrabTime)
{
    setLocaleFormats([] { auto f = FormatSettings::dayMonthYear(); f.dateSep = '.'; return f; }());
    host.fakeTime = "25.12.2026 10:00";
    cycle.requestRefresh();
    // The address date keeps its "/" whatever the regional separator.
    EXPECT_EQ(control.navigations[1], dayViewAddress("cal.test", "2026/12/25", "101"));
    EXPECT_EQ(log.lines[2], "Updating info @ 25.12.26 10:00:00");
    EXPECT_EQ(state.dataTime, TestDay + 10.0 / 24);
    EXPECT_NE(host.fragment.find("Data refreshed: 06.12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, FailuresKeepThePreviousBoardAndTheGrabFlag)
{
    host.fakeTime = " ";
    EXPECT_THROW(cycle.requestRefresh(), ConvertError);
    EXPECT_TRUE(log.lines.empty());
    host.fakeTime = "";
    files[1] = "unclosed-block.html";
    EXPECT_THROW(cycle.requestRefresh(), RangeError);
    EXPECT_EQ(host.fragment, "previous board");
    EXPECT_EQ(roster.dayPageHtml[1], readDayPage("unclosed-block.html"));
    EXPECT_TRUE(state.grabPending);
    EXPECT_EQ(host.timerEnables, 0);
    EXPECT_EQ(control.navigations.size(), 3u);  // never sent to the board page
    EXPECT_FALSE(cycle.running());
}

TEST_F(RefreshTest, ForceGrabAndEmptyRoster)
{
    roster.reset();
    cycle.requestRefresh();
    host.forceGrab = true;
    cycle.requestRefresh();
    EXPECT_FALSE(host.forceGrab);
    EXPECT_EQ(count("Logged in"), 2);
    EXPECT_EQ(host.fragment.find("\r\n</table>\r\n<p>"), host.fragment.find("\r\n"));
}

TEST_F(RefreshTest, GrabAskedForMidRefresh)
{
    cycle.requestRefresh();
    control.navigations.clear();
    files = {"mixed.html", "mixed.html", "mixed.html"};
    log.onLog = [this](const std::string& text) {
        if (text == "Processing Meetings for Ann" || text == "Done") state.grabPending = true;
    };
    cycle.requestRefresh();
    // Ann's fetch was decided before the request: the page the browser shows is not hers.
    EXPECT_EQ(roster.dayPageHtml[0], readDayPage("two-meetings.html"));
    EXPECT_EQ(roster.dayPageHtml[1], readDayPage("mixed.html"));
    EXPECT_EQ(control.navigations.size(), 3u);  // Bob, Cy and the board page: no new log-in
    // The request that came after the last person's reading is kept for the next refresh.
    EXPECT_TRUE(state.grabPending);
    log.onLog = nullptr;
    cycle.requestRefresh();
    EXPECT_FALSE(state.grabPending);
    EXPECT_EQ(count("Starting"), 2);
}

TEST_F(RefreshTest, RequestDuringARefreshRunsOnceAfterIt)
{
    int asked = 0;
    control.duringPass = [&] {
        if (asked++ < 3) cycle.requestRefresh();  // returns at once
    };
    cycle.requestRefresh();
    TextLines marks;
    for (const auto& line : log.lines) {
        if (line.rfind("Updating", 0) == 0 || line == "Done" || line == "Starting") marks.push_back(line.substr(0, 4));
    }
    EXPECT_EQ(marks, (TextLines{"Star", "Upda", "Done", "Upda", "Done"}));  // never interleaved
    EXPECT_EQ(host.timerEnables, 2);

    // A request made during a refresh that fails is dropped with it.
    files[2] = "bad-time.html";
    host.forceGrab = true;
    asked = 0;
    log.lines.clear();
    EXPECT_THROW(cycle.requestRefresh(), ConvertError);
    EXPECT_EQ(count("Done"), 0);
    EXPECT_FALSE(cycle.running());
}

// The calendar misbehaving at a grab after a good one: what is stored, logged and kept pending.
const std::string LogInForm = "<FORM><INPUT TYPE=text NAME=user><INPUT type=\"password\" name=pw></FORM>";
const std::string BobDay = "resultSelect=102";
bool isBob(const std::string& url) { return url.find(BobDay) != std::string::npos; }

long startingWith(const TextLines& lines, const std::string& head)
{
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(head, 0) == 0; });
}

struct FaultCase {
    const char* name;
    std::function<void(FakeBrowserControl&)> fault;  // Bob's day view misbehaves
    std::string reason;
    bool endsFetching;  // Cy is not fetched in this refresh
    bool bobAgain;      // the next refresh of the grab fetches Bob again
};

TEST_F(RefreshTest, OnlyADayViewReplacesACachedDayView)
{
    const FaultCase cases[] = {
        {"timed out", [](FakeBrowserControl& c) {
             auto plan = c.planFor;
             c.planFor = [plan](const std::string& url) { return isBob(url) ? std::vector<int>{} : plan(url); };
         }, "timed out", true, false},
        {"log-in form", [](FakeBrowserControl& c) {
             auto page = c.pageFor;
             c.pageFor = [page](const std::string& url) { return isBob(url) ? LogInForm : page(url); };
         }, "the calendar showed its log-in form (session lost)", true, true},
        {"error page", [](FakeBrowserControl& c) {
             c.errorFor = [](const std::string& url) { return isBob(url) ? "calendar unreachable (refused)" : ""; };
         }, "calendar unreachable (refused)", false, false},
        {"no location", [](FakeBrowserControl& c) {
             c.locationFor = [](const std::string& url) { return isBob(url) ? "" : url; };
         }, "no page shown", false, false},
        {"huge page", [](FakeBrowserControl& c) {
             auto page = c.pageFor;
             c.pageFor = [page](const std::string& url) {
                 return isBob(url) ? page(url) + std::string(8u * 1024 * 1024, ' ') : page(url);
             };
         }, "page too large (bytes: ", false, false},
    };
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.name);
        FakeClock clock{TestDay + 10.0 / 24};
        RecordingLog log;
        FakeBrowserControl control{clock};
        control.planFor = this->control.planFor;
        control.pageFor = this->control.pageFor;
        Roster people = roster;
        BoardState board = state;
        BrowserDriver browser{control, log, clock, board.pageLoaded};
        FakeHost host;
        SharedSnapshot shown;
        RefreshCycle refresh{people, board, browser, log, clock, host,
                             [&shown](SharedSnapshot snapshot) { shown = std::move(snapshot); }, "cal.test",
                             "http://127.0.0.1:7350/"};
        refresh.requestRefresh();
        const std::vector<std::string> pages = people.dayPageHtml;
        const std::string bobStatus = cell(shown, 1);
        const DateTime firstGrab = board.dataTime;

        fault.fault(control);
        clock.value = TestDay + 11.0 / 24;
        host.forceGrab = true;
        control.navigations.clear();
        log.lines.clear();
        refresh.requestRefresh();
        EXPECT_EQ(people.dayPageHtml[1], pages[1]);
        EXPECT_EQ(cell(shown, 1), bobStatus);  // read from the kept page
        const auto notStored = std::find_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
            return line.rfind("Page not stored: ", 0) == 0;
        });
        ASSERT_NE(notStored, log.lines.end());
        EXPECT_EQ(notStored->rfind("Page not stored: " + fault.reason, 0), 0u) << *notStored;
        EXPECT_NE(notStored->find("; kept page of 06/12 10:00"), std::string::npos) << *notStored;
        EXPECT_EQ(startingWith(log.lines, "Grabbing Page for Cy"), fault.endsFetching ? 0 : 1);
        EXPECT_EQ(board.grabPending, fault.endsFetching);
        EXPECT_FALSE(board.lastGrab.succeeded);
        EXPECT_EQ(board.lastGrab.stalePeople, fault.endsFetching ? (TextLines{"Bob", "Cy"}) : TextLines{"Bob"});
        EXPECT_EQ(board.dataTime, fault.endsFetching ? firstGrab : TestDay + 11.0 / 24);
        if (!fault.endsFetching) continue;

        // The next refresh logs in again and fetches only who the grab has not done.
        log.lines.clear();
        refresh.requestRefresh();
        EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "Logged in"), 1);
        EXPECT_EQ(startingWith(log.lines, "Grabbing Page for Ann"), 0);
        EXPECT_EQ(startingWith(log.lines, "Grabbing Page for Bob"), fault.bobAgain ? 1 : 0);
        // Bob's page is still the log-in form: the session is lost again before Cy.
        EXPECT_EQ(startingWith(log.lines, "Grabbing Page for Cy"), fault.bobAgain ? 0 : 1);
        EXPECT_EQ(board.grabPending, fault.bobAgain);
    }
}

TEST_F(RefreshTest, FailedLogInFetchesNothingAndKeepsTheGrab)
{
    const FaultCase cases[] = {
        {"time-out", [](FakeBrowserControl& c) {
             auto plan = c.planFor;
             c.planFor = [plan](const std::string& url) { return url.find("login") != std::string::npos ? std::vector<int>{} : plan(url); };
         }, "timed out", true, false},
        {"certificate", [](FakeBrowserControl& c) {
             c.errorFor = [](const std::string& url) { return url.find("login") != std::string::npos ? "certificate refused (bad)" : ""; };
         }, "certificate refused (bad)", true, false},
        {"refused", [](FakeBrowserControl& c) {
             auto page = c.pageFor;
             c.pageFor = [page](const std::string& url) { return url.find("login") != std::string::npos ? LogInForm : page(url); };
         }, "the calendar showed its log-in form again", true, false},
    };
    cycle.requestRefresh();
    const std::vector<std::string> pages = roster.dayPageHtml;
    const DateTime firstGrab = state.dataTime;
    const auto good = std::make_tuple(control.planFor, control.pageFor, control.errorFor);
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.name);
        std::tie(control.planFor, control.pageFor, control.errorFor) = good;
        fault.fault(control);
        host.forceGrab = true;
        log.lines.clear();
        control.navigations.clear();
        cycle.requestRefresh();
        EXPECT_EQ(count("Log-in failed: " + fault.reason), 1) << ::testing::PrintToString(log.lines);
        EXPECT_EQ(count("Logged in"), 0);
        EXPECT_EQ(control.navigations.size(), 2u);  // the log-in and the board page
        EXPECT_EQ(roster.dayPageHtml, pages);
        EXPECT_EQ(cell(published, 0), Ann);
        EXPECT_TRUE(state.grabPending);
        EXPECT_EQ(state.dataTime, firstGrab);
        EXPECT_EQ(state.lastGrab.failure, fault.reason);
        EXPECT_EQ(host.fragment.find("Data refreshed: 06/12 10:00") != std::string::npos, true);
    }
    // The calendar is back: the next refresh completes the grab.
    std::tie(control.planFor, control.pageFor, control.errorFor) = good;
    cycle.requestRefresh();
    EXPECT_FALSE(state.grabPending);
    EXPECT_TRUE(state.lastGrab.succeeded);
    EXPECT_GT(state.dataTime, firstGrab);
}

TEST_F(RefreshTest, AHungCalendarCostsOneTimeOutPerRefresh)
{
    cycle.requestRefresh();
    const DateTime firstGrab = state.dataTime;
    control.planFor = [](const std::string& url) {
        return url.find("viewpub") != std::string::npos ? std::vector<int>{} : std::vector<int>{1};
    };
    host.forceGrab = true;
    for (const char* person : {"Ann", "Bob", "Cy"}) {
        log.lines.clear();
        const DateTime before = clock.value;
        cycle.requestRefresh();
        EXPECT_EQ(startingWith(log.lines, "Grabbing Page for " + std::string(person)), 1);
        EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                                [](const std::string& l) { return l.find("Timed Out") != std::string::npos; }), 1);
        EXPECT_EQ(count("Done"), 1);
        EXPECT_LT(clock.value - before, 62.0 / 86400);  // one wait's time-out, not one per person
    }
    // Round everyone once: the grab is over, nothing new was stored, so the footer keeps its time.
    EXPECT_FALSE(state.grabPending);
    EXPECT_EQ(state.dataTime, firstGrab);
    EXPECT_EQ(state.lastGrab.stalePeople, (TextLines{"Ann", "Bob", "Cy"}));
}

TEST_F(RefreshTest, AStopEndsTheWaitAndTheFetching)
{
    control.planFor = [](const std::string& url) {
        return url.find("viewpub") != std::string::npos ? std::vector<int>{} : std::vector<int>{1};
    };
    control.duringPass = [this] {
        if (control.SinceNavigate == 5 && control.navigations.size() == 2) cycle.stop();
    };
    cycle.requestRefresh();
    EXPECT_TRUE(control.aborted);
    EXPECT_EQ(control.passes, 1 + 5);  // the log-in's pass, five of Ann's, none after the stop
    EXPECT_EQ(startingWith(log.lines, "Grabbing Page for Bob"), 0);
    EXPECT_EQ(count("Done"), 1);
    EXPECT_EQ(count("Timed Out"), 0);
    EXPECT_TRUE(state.grabPending);
    EXPECT_EQ(control.navigations.size(), 2u);  // not sent to the board page
}

TEST_F(RefreshTest, AMarkupReadThatEndsWithoutMarkupKeepsTheCache)
{
    cycle.requestRefresh();
    const std::vector<std::string> pages = roster.dayPageHtml;
    control.markupReadFails = true;
    host.forceGrab = true;
    cycle.requestRefresh();
    EXPECT_EQ(roster.dayPageHtml, pages);
    EXPECT_EQ(count("Page not stored: the page's markup could not be read; kept page of 06/12 10:00"), 3);
}

}  // namespace
