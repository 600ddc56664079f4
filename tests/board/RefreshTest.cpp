// Whole refreshes over a fake browser serving fixture day views: log lines, addresses, grab and
// no grab, fake time, force grab, grabs asked for mid-refresh, failures, coalesced requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <tuple>

#include "pages/ClassicPage.h"
#include "board/DayViewSource.h"
#include "board/Refresh.h"
#include "pages/StatusCell.h"
#include "browser/CalendarAddress.h"
#include "tests/board/QuietHost.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"

namespace {

constexpr DateTime TestDay = 46362;  // 6 December 2026
using TextLines = std::vector<std::string>;

// Every board published, and the classic fragment of the last one.
struct RecordingOutput : BoardOutput {
    std::vector<SharedSnapshot> boards;
    int ended = 0;
    void publish(const SharedSnapshot& board) override { boards.push_back(board); }
    void refreshEnded(const SharedSnapshot&) override { ++ended; }
    std::string fragment() const { return boards.empty() ? "previous board" : classicFragment(*boards.back(), false); }
    std::string status(std::size_t person) const { return classicStatusHtml(boards.back()->people.at(person).status); }
};

Instant at(DateTime local) { return instantOfLocal(local); }

// One board on the fake browser: three people on the web calendar, each a fixture day view.
struct Rig {
    FakeClock clock{TestDay + 10.0 / 24};
    RecordingLog log;
    FakeBrowserControl control{clock};
    BrowserDriver driver{control, log, clock};
    Roster roster{{"Ann", "101", ""}, {"Bob", "102", "J Smith"}, {"Cy", "103", "K Lee"}};
    BoardState state;
    QuietHost host;
    RecordingOutput output;
    SourceRegistry sources;
    DayViewSource* dayViews = nullptr;
    RefreshCycle cycle{roster, state, RefreshLinks{sources, output, host, log, clock}};
    std::vector<std::string> files = {"two-meetings.html", "day-events.html", "mixed.html"};

    Rig()
    {
        state.grabPending = true;
        state.userId = "jdoe";
        state.password = "pw&1";
        auto source = std::make_unique<DayViewSource>(DayViewSettings{"cal.test"}, driver, state, log, clock);
        dayViews = source.get();
        sources.add(std::move(source));
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
    // A refresh, run to its end as the event loop would.
    void refresh()
    {
        cycle.requestRefresh();
        control.runPending();
        EXPECT_FALSE(cycle.running());
    }
    long count(const std::string& line) const { return std::count(log.lines.begin(), log.lines.end(), line); }
    long startingWith(const std::string& head) const
    {
        return std::count_if(log.lines.begin(), log.lines.end(),
                             [&](const std::string& line) { return line.rfind(head, 0) == 0; });
    }
    std::optional<Instant> cachedAt(std::size_t person) const { return dayViews->cachedAt(roster[person]); }
};

struct RefreshTest : ::testing::Test, Rig {
    FormatSettings saved = *localeFormats();
    void SetUp() override { setLocaleFormats(FormatSettings::dayMonthYear()); }
    void TearDown() override { setLocaleFormats(saved); }
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
    refresh();
    EXPECT_EQ(log.lines, readLines("grab-refresh.log"));
    EXPECT_EQ(output.fragment(), readDayPage("grab-refresh-fragment.html"));
    const auto day = [](const char* id) { return dayViewAddress("cal.test", "2026/12/06", id); };
    EXPECT_EQ(control.navigations, (TextLines{loginAddress("cal.test", "jdoe", "pw&1"), day("101"), day("102"), day("103")}));
    EXPECT_FALSE(state.grabPending);
    EXPECT_EQ(host.timerEnables, 1);
    EXPECT_EQ(output.ended, 1);
    EXPECT_EQ(state.dataTime, at(TestDay + 10.0 / 24));
    // A board for each row as it was composed, then the finished one.
    EXPECT_EQ(output.boards.size(), 3u + 1);
    EXPECT_EQ(classicStatusHtml(output.boards[0]->people[0].status), Ann);
    EXPECT_EQ(output.boards[0]->people[1].status.state, PersonState::Unknown);  // not yet read
}

TEST_F(RefreshTest, WithoutGrabCachedPagesFollowTheClock)
{
    refresh();
    clock.value = TestDay + 11.5 / 24;
    control.navigations.clear();
    refresh();
    EXPECT_TRUE(control.navigations.empty());
    EXPECT_EQ(count("Starting"), 1);
    EXPECT_EQ(output.status(0), "");  // nothing in progress: a blank on the page
    EXPECT_NE(output.fragment().find("<h2>Ann</h2></td><td bgcolor=\"#FFFFFF\" nowrap>&nbsp;</td>"), std::string::npos);
    EXPECT_NE(output.fragment().find("Data refreshed: 06/12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, FakeTimeDatesTheFetchButNotTheGrabTime)
{
    setLocaleFormats([] { auto f = FormatSettings::dayMonthYear(); f.dateSep = '.'; return f; }());
    host.fakeTime = "25.12.2026 10:00";
    refresh();
    // The address date keeps its "/" whatever the regional separator.
    EXPECT_EQ(control.navigations[1], dayViewAddress("cal.test", "2026/12/25", "101"));
    EXPECT_EQ(log.lines[2], "Updating info @ 25.12.26 10:00:00");
    EXPECT_EQ(state.dataTime, at(TestDay + 10.0 / 24));
    EXPECT_NE(output.fragment().find("Data refreshed: 06.12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, AFakeTimeThatDoesNotReadChangesNothing)
{
    host.fakeTime = " ";
    host.forceGrab = true;
    EXPECT_THROW(cycle.requestRefresh(), ConvertError);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(host.forceGrab);
    EXPECT_FALSE(cycle.running());
    EXPECT_TRUE(output.boards.empty());
}

// A day view the parser cannot read fails that person only: their cached page and row stay, the
// refresh completes, publishes and re-arms its timer. (It once stopped the whole refresh, leaving
// the board frozen with the timer off.)
TEST_F(RefreshTest, AnUnreadableDayViewFailsItsPersonOnly)
{
    refresh();
    const std::optional<Instant> firstFetch = cachedAt(1);
    const std::string bob = output.status(1);
    const struct {
        const char* file;
        std::string reason;
    } cases[] = {{"unclosed-block.html", "Range check error"}, {"bad-time.html", "is not a valid date and time"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        files[1] = c.file;
        clock.value += 1.0 / 24;
        host.forceGrab = true;
        log.lines.clear();
        refresh();
        const auto notRead = std::find_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
            return line.rfind("Page not read for Bob: ", 0) == 0;
        });
        ASSERT_NE(notRead, log.lines.end()) << ::testing::PrintToString(log.lines);
        EXPECT_NE(notRead->find(c.reason), std::string::npos) << *notRead;
        EXPECT_EQ(cachedAt(1), firstFetch);
        EXPECT_EQ(output.status(1), bob);
        EXPECT_NE(cachedAt(2), firstFetch);  // Cy was fetched after Bob
        EXPECT_EQ(count("Done"), 1);
        EXPECT_FALSE(state.grabPending);  // Bob was tried: the grab is over, with Bob stale
        EXPECT_EQ(state.lastGrab.stalePeople, TextLines{"Bob"});
    }
    EXPECT_EQ(host.timerEnables, 3);
}

TEST_F(RefreshTest, ForceGrabAndEmptyRoster)
{
    roster.clear();
    refresh();
    host.forceGrab = true;
    refresh();
    EXPECT_FALSE(host.forceGrab);
    EXPECT_EQ(count("Logged in"), 2);
    EXPECT_EQ(output.fragment().find("\r\n</table>\r\n<p>"), output.fragment().find("\r\n"));
}

TEST_F(RefreshTest, AGrabAskedForDuringARefreshIsTheNextRefreshs)
{
    // Asked while a refresh without a grab runs, and while one that grabs runs: either way the
    // refresh under way goes on as it began, and the next one grabs.
    refresh();
    const struct {
        const char* during;
        bool grabbing;
    } cases[] = {{"Processing Meetings for Ann", false}, {"Grabbing Page for Bob", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.during);
        host.forceGrab = c.grabbing;
        const long grabbed = startingWith("Grabbing Page for "), startings = count("Starting");
        log.onLog = [this, &c](const std::string& text) {
            if (text == c.during) state.grabPending = true;
        };
        refresh();
        log.onLog = nullptr;
        EXPECT_EQ(startingWith("Grabbing Page for "), grabbed + (c.grabbing ? 3 : 0));
        EXPECT_TRUE(state.grabPending);
        refresh();
        EXPECT_EQ(count("Starting"), startings + (c.grabbing ? 2 : 1));
        EXPECT_FALSE(state.grabPending);
    }
}

TEST_F(RefreshTest, RequestDuringARefreshRunsOnceAfterIt)
{
    int asked = 0;
    control.duringPass = [&] {
        if (asked++ < 3) cycle.requestRefresh();  // remembered, not run inside this one
    };
    files[2] = "bad-time.html";  // an unreadable page ends nothing early
    refresh();
    TextLines marks;
    for (const auto& line : log.lines) {
        if (line.rfind("Updating", 0) == 0 || line == "Done" || line == "Starting") marks.push_back(line.substr(0, 4));
    }
    EXPECT_EQ(marks, (TextLines{"Star", "Upda", "Done", "Upda", "Done"}));  // never interleaved
    EXPECT_EQ(host.timerEnables, 2);
}

// The calendar misbehaving at a grab after a good one: what is stored, logged and kept pending.
const std::string LogInForm = "<FORM><INPUT TYPE=text NAME=user><INPUT type=\"password\" name=pw></FORM>";
const std::string BobDay = "resultSelect=102";
bool isBob(const std::string& url) { return url.find(BobDay) != std::string::npos; }

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
        setLocaleFormats(FormatSettings::dayMonthYear());
        Rig rig;
        rig.refresh();
        const std::optional<Instant> bobFetched = rig.cachedAt(1);
        const std::string bobStatus = rig.output.status(1);
        const std::optional<Instant> firstGrab = rig.state.dataTime;

        fault.fault(rig.control);
        rig.clock.value = TestDay + 11.0 / 24;
        rig.host.forceGrab = true;
        rig.control.navigations.clear();
        rig.log.lines.clear();
        rig.refresh();
        EXPECT_EQ(rig.cachedAt(1), bobFetched);
        EXPECT_EQ(rig.output.status(1), bobStatus);  // read from the kept page
        const auto notStored = std::find_if(rig.log.lines.begin(), rig.log.lines.end(), [](const std::string& line) {
            return line.rfind("Page not stored: ", 0) == 0;
        });
        ASSERT_NE(notStored, rig.log.lines.end());
        EXPECT_EQ(notStored->rfind("Page not stored: " + fault.reason, 0), 0u) << *notStored;
        EXPECT_NE(notStored->find("; kept page of 06/12 10:00"), std::string::npos) << *notStored;
        EXPECT_EQ(rig.startingWith("Grabbing Page for Cy"), fault.endsFetching ? 0 : 1);
        EXPECT_EQ(rig.state.grabPending, fault.endsFetching);
        EXPECT_FALSE(rig.state.lastGrab.succeeded);
        EXPECT_EQ(rig.state.lastGrab.stalePeople, fault.endsFetching ? (TextLines{"Bob", "Cy"}) : TextLines{"Bob"});
        EXPECT_EQ(rig.state.dataTime, fault.endsFetching ? firstGrab : at(TestDay + 11.0 / 24));
        if (!fault.endsFetching) continue;

        // The next refresh logs in again and fetches only who the grab has not done.
        rig.log.lines.clear();
        rig.refresh();
        EXPECT_EQ(rig.count("Logged in"), 1);
        EXPECT_EQ(rig.startingWith("Grabbing Page for Ann"), 0);
        EXPECT_EQ(rig.startingWith("Grabbing Page for Bob"), fault.bobAgain ? 1 : 0);
        // Bob's page is still the log-in form: the session is lost again before Cy.
        EXPECT_EQ(rig.startingWith("Grabbing Page for Cy"), fault.bobAgain ? 0 : 1);
        EXPECT_EQ(rig.state.grabPending, fault.bobAgain);
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
    refresh();
    const std::optional<Instant> fetched = cachedAt(0);
    const std::optional<Instant> firstGrab = state.dataTime;
    const auto good = std::make_tuple(control.planFor, control.pageFor, control.errorFor);
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.name);
        std::tie(control.planFor, control.pageFor, control.errorFor) = good;
        fault.fault(control);
        host.forceGrab = true;
        log.lines.clear();
        control.navigations.clear();
        refresh();
        EXPECT_EQ(count("Log-in failed: " + fault.reason), 1) << ::testing::PrintToString(log.lines);
        EXPECT_EQ(count("Logged in"), 0);
        EXPECT_EQ(control.navigations.size(), 1u);  // the log-in alone
        EXPECT_EQ(cachedAt(0), fetched);
        EXPECT_EQ(output.status(0), Ann);
        EXPECT_TRUE(state.grabPending);
        EXPECT_EQ(state.dataTime, firstGrab);
        EXPECT_EQ(state.lastGrab.failure, fault.reason);
        EXPECT_NE(output.fragment().find("Data refreshed: 06/12 10:00"), std::string::npos);
    }
    // The calendar is back: the next refresh completes the grab.
    std::tie(control.planFor, control.pageFor, control.errorFor) = good;
    refresh();
    EXPECT_FALSE(state.grabPending);
    EXPECT_TRUE(state.lastGrab.succeeded);
    EXPECT_GT(state.dataTime, firstGrab);
}

TEST_F(RefreshTest, AHungCalendarCostsOneTimeOutPerRefresh)
{
    refresh();
    const std::optional<Instant> firstGrab = state.dataTime;
    control.planFor = [](const std::string& url) {
        return url.find("viewpub") != std::string::npos ? std::vector<int>{} : std::vector<int>{1};
    };
    host.forceGrab = true;
    for (const char* person : {"Ann", "Bob", "Cy"}) {
        log.lines.clear();
        const DateTime before = clock.value;
        refresh();
        EXPECT_EQ(startingWith("Grabbing Page for " + std::string(person)), 1);
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
        if (control.sinceNavigate == 5 && control.navigations.size() == 2) cycle.stop();
    };
    refresh();
    EXPECT_TRUE(control.aborted);
    EXPECT_EQ(control.passes, 1 + 5);  // the log-in's pass, five of Ann's, none after the stop
    EXPECT_EQ(startingWith("Grabbing Page for Bob"), 0);
    EXPECT_EQ(count("Done"), 1);
    EXPECT_EQ(count("Timed Out"), 0);
    EXPECT_TRUE(state.grabPending);
    EXPECT_EQ(control.navigations.size(), 2u);
    // No later refresh fetches anything.
    refresh();
    EXPECT_EQ(control.navigations.size(), 2u);
    EXPECT_EQ(count("Starting"), 1);
}

TEST_F(RefreshTest, AMarkupReadThatEndsWithoutMarkupKeepsTheCache)
{
    refresh();
    const std::optional<Instant> fetched = cachedAt(0);
    control.markupReadFails = true;
    clock.value += 1.0 / 24;
    host.forceGrab = true;
    refresh();
    EXPECT_EQ(cachedAt(0), fetched);
    EXPECT_EQ(count("Page not stored: the page's markup could not be read; kept page of 06/12 10:00"), 3);
}

}  // namespace
