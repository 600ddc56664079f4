// Whole refreshes over a fake browser serving fixture day views: log lines, addresses, grab and
// no grab, fake time, force grab, grabs asked for mid-refresh, failures, coalesced requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "board/Refresh.h"
#include "browser/CalendarAddress.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"

namespace {

constexpr TDateTime Day = 46362;  // 6 December 2026
using Lines = std::vector<std::string>;

struct FakeHost : TRefreshHost {
    std::string FakeTime, Fragment = "previous board";
    bool ForceGrab = false;
    int TimerEnables = 0;
    std::string FakeTimeText() const override { return FakeTime; }
    bool ForceGrabChecked() const override { return ForceGrab; }
    void SetForceGrabChecked(bool checked) override { ForceGrab = checked; }
    void SetBoardFragment(const std::string& fragment) override { Fragment = fragment; }
    void EnableRefreshTimer() override { ++TimerEnables; }
};

struct RefreshTest : ::testing::Test {
    TFormatSettings saved = *LocaleFormats();
    TFakeClock clock{Day + 10.0 / 24};
    TRecordingLog log;
    TFakeBrowserControl control{clock};
    TRoster roster;
    TBoardState state;
    TBrowserDriver driver{control, log, clock, state.PageLoaded};
    FakeHost host;
    TRefreshCycle cycle{roster, state, driver, log, clock, host, "cal.test"};
    std::vector<std::string> files = {"two-meetings.html", "day-events.html", "mixed.html"};

    void SetUp() override
    {
        SetLocaleFormats(TFormatSettings::DayMonthYear());
        roster.PersonName = {"Ann", "Bob", "Cy"};
        roster.CalendarItemId = {"101", "102", "103"};
        roster.LeaveTag = {"", "J Smith", "K Lee"};
        roster.StatusHtml = roster.DayPageHtml = {"", "", ""};
        state = {.GrabPending = true, .UserId = "jdoe", .Password = "pw&1"};
        // A day view redirects, so it completes as two documents.
        control.PlanFor = [](const std::string& url) {
            return url.find("viewpub") != std::string::npos ? std::vector<int>{1, 2} : std::vector<int>{1};
        };
        control.PageFor = [this](const std::string& url) {
            for (int i = 0; i < 3; ++i) {
                if (url.find("resultSelect=10" + std::to_string(i + 1)) != std::string::npos) return ReadDayPage(files[i]);
            }
            return std::string("<BODY>Welcome</BODY>");
        };
    }
    void TearDown() override { SetLocaleFormats(saved); }
    long Count(const std::string& line) const { return std::count(log.Lines.begin(), log.Lines.end(), line); }
};

Lines ReadLines(const std::string& name)
{
    std::istringstream in(ReadDayPage(name));
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::string Ann = "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>";

TEST_F(RefreshTest, GrabLogsInFetchesEachPersonAndWritesTheBoard)
{
    cycle.Button1Click();
    EXPECT_EQ(log.Lines, ReadLines("grab-refresh.log"));
    EXPECT_EQ(host.Fragment, ReadDayPage("grab-refresh-fragment.html"));
    const auto day = [](const char* id) { return DayViewAddress("cal.test", "2026/12/06", id); };
    EXPECT_EQ(control.Navigations, (Lines{LoginAddress("cal.test", "jdoe", "pw&1"), day("101"), day("102"), day("103"),
                                          "http://127.0.0.1:7350/"}));
    EXPECT_FALSE(state.GrabPending);
    EXPECT_EQ(host.TimerEnables, 1);
    EXPECT_EQ(state.DataTime, Day + 10.0 / 24);
}

TEST_F(RefreshTest, WithoutGrabCachedPagesFollowTheClock)
{
    cycle.Button1Click();
    clock.Value = Day + 11.5 / 24;
    control.Navigations.clear();
    cycle.Button1Click();
    EXPECT_EQ(control.Navigations, Lines{"http://127.0.0.1:7350/"});
    EXPECT_EQ(Count("Starting"), 1);
    EXPECT_EQ(roster.StatusHtml[0], "&nbsp;");  // nothing in progress: a blank, in the roster too
    EXPECT_NE(host.Fragment.find("<h2>Ann</h2></td><td bgcolor=\"#FFFFFF\" nowrap>&nbsp;</td>"), std::string::npos);
    EXPECT_NE(host.Fragment.find("Data refreshed: 06/12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, FakeTimeDatesTheFetchButNotTheGrabTime)
{
    SetLocaleFormats([] { auto f = TFormatSettings::DayMonthYear(); f.DateSep = '.'; return f; }());
    host.FakeTime = "25.12.2026 10:00";
    cycle.Button1Click();
    // The address date keeps its "/" whatever the regional separator.
    EXPECT_EQ(control.Navigations[1], DayViewAddress("cal.test", "2026/12/25", "101"));
    EXPECT_EQ(log.Lines[2], "Updating info @ 25.12.26 10:00:00");
    EXPECT_EQ(state.DataTime, Day + 10.0 / 24);
    EXPECT_NE(host.Fragment.find("Data refreshed: 06.12 10:00"), std::string::npos);
}

TEST_F(RefreshTest, FailuresKeepThePreviousBoardAndTheGrabFlag)
{
    host.FakeTime = " ";
    EXPECT_THROW(cycle.Button1Click(), EConvertError);
    EXPECT_TRUE(log.Lines.empty());
    host.FakeTime = "";
    files[1] = "unclosed-block.html";
    EXPECT_THROW(cycle.Button1Click(), ERangeError);
    EXPECT_EQ(host.Fragment, "previous board");
    EXPECT_EQ(roster.StatusHtml, (Lines{Ann, "Fine until 10:00", ""}));
    EXPECT_EQ(roster.DayPageHtml[1], ReadDayPage("unclosed-block.html"));
    EXPECT_TRUE(state.GrabPending);
    EXPECT_EQ(host.TimerEnables, 0);
    EXPECT_EQ(control.Navigations.size(), 3u);  // never sent to the board page
    EXPECT_FALSE(cycle.Running());
}

TEST_F(RefreshTest, ForceGrabAndEmptyRoster)
{
    roster.Reset();
    cycle.Button1Click();
    host.ForceGrab = true;
    cycle.Button1Click();
    EXPECT_FALSE(host.ForceGrab);
    EXPECT_EQ(Count("Logged in"), 2);
    EXPECT_EQ(host.Fragment.find("\r\n</table>\r\n<p>"), host.Fragment.find("\r\n"));
}

TEST_F(RefreshTest, GrabAskedForMidRefresh)
{
    cycle.Button1Click();
    control.Navigations.clear();
    files = {"mixed.html", "mixed.html", "mixed.html"};
    log.OnLog = [this](const std::string& text) {
        if (text == "Processing Meetings for Ann" || text == "Done") state.GrabPending = true;
    };
    cycle.Button1Click();
    // Ann's fetch was decided before the request: the page the browser shows is not hers.
    EXPECT_EQ(roster.DayPageHtml[0], ReadDayPage("two-meetings.html"));
    EXPECT_EQ(roster.DayPageHtml[1], ReadDayPage("mixed.html"));
    EXPECT_EQ(control.Navigations.size(), 3u);  // Bob, Cy and the board page: no new log-in
    // The request that came after the last person's reading is kept for the next refresh.
    EXPECT_TRUE(state.GrabPending);
    log.OnLog = nullptr;
    cycle.Button1Click();
    EXPECT_FALSE(state.GrabPending);
    EXPECT_EQ(Count("Starting"), 2);
}

TEST_F(RefreshTest, RequestDuringARefreshRunsOnceAfterIt)
{
    int asked = 0;
    control.DuringPass = [&] {
        if (asked++ < 3) cycle.Button1Click();  // returns at once
    };
    cycle.Button1Click();
    Lines marks;
    for (const auto& line : log.Lines) {
        if (line.rfind("Updating", 0) == 0 || line == "Done" || line == "Starting") marks.push_back(line.substr(0, 4));
    }
    EXPECT_EQ(marks, (Lines{"Star", "Upda", "Done", "Upda", "Done"}));  // never interleaved
    EXPECT_EQ(host.TimerEnables, 2);

    // A request made during a refresh that fails is dropped with it.
    files[2] = "bad-time.html";
    host.ForceGrab = true;
    asked = 0;
    log.Lines.clear();
    EXPECT_THROW(cycle.Button1Click(), EConvertError);
    EXPECT_EQ(Count("Done"), 0);
    EXPECT_FALSE(cycle.Running());
}

}  // namespace
