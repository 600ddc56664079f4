// Whole refreshes over a fake browser serving fixture day views: log lines, addresses, grab and
// no grab, fake time, force grab, grabs asked for mid-refresh, failures, and coalesced requests.
#include <gtest/gtest.h>

#include <algorithm>

#include "board/Refresh.h"
#include "browser/CalendarAddress.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"
#include "text/Text.h"

namespace {

constexpr TDateTime Day = 46362;  // 6 December 2026
const std::string Host = "cal.test";
const std::string LoginUrl = LoginAddress(Host, "jdoe", "pw&1");

struct FakeHost : TRefreshHost {
    std::string FakeTimeText() const override { return FakeTime; }
    bool ForceGrabChecked() const override { return ForceGrab; }
    void SetForceGrabChecked(bool checked) override { ForceGrab = checked; }
    void SetBoardFragment(const std::string& fragment) override
    {
        Fragment = fragment;
        ++FragmentWrites;
    }
    void EnableRefreshTimer() override { ++TimerEnables; }

    std::string FakeTime;
    bool ForceGrab = false;
    std::string Fragment = "previous board";
    int FragmentWrites = 0;
    int TimerEnables = 0;
};

class RefreshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = *LocaleFormats();
        SetLocaleFormats(TFormatSettings::DayMonthYear());
        roster.PersonName = {"Ann", "Bob", "Cy"};
        roster.CalendarItemId = {"101", "102", "103"};
        roster.LeaveTag = {"", "J Smith", "K Lee"};
        roster.StatusHtml.assign(3, "");
        roster.DayPageHtml.assign(3, "");
        state.UserId = "jdoe";
        state.Password = "pw&1";
        state.GrabPending = true;
        pages = {{"101", "two-meetings.html"}, {"102", "day-events.html"}, {"103", "mixed.html"}};
        control.PageFor = [this](const std::string& url) {
            for (const auto& [id, file] : pages) {
                if (TextPos("resultSelect=" + id + "/1", url) > 0) return ReadDayPage(file);
            }
            return std::string("<BODY>Welcome</BODY>");
        };
        control.PlanFor = [](const std::string& url) {
            // A day view redirects and so completes as two documents.
            return TextPos("web=viewpub", url) > 0 ? std::vector<int>{1, 2} : std::vector<int>{1};
        };
    }
    void TearDown() override { SetLocaleFormats(saved_); }

    int CountLines(const std::string& text) const
    {
        return static_cast<int>(std::count(log.Lines.begin(), log.Lines.end(), text));
    }
    bool LogMentions(const std::string& text) const
    {
        return std::any_of(log.Lines.begin(), log.Lines.end(),
                           [&](const std::string& line) { return TextPos(text, line) > 0; });
    }

    TFormatSettings saved_;
    TFakeClock clock{Day + EncodeTime(10, 0, 0, 0)};
    TRecordingLog log;
    TFakeBrowserControl control{clock};
    TRoster roster;
    TBoardState state;
    TBrowserDriver driver{control, log, clock, state.PageLoaded};
    FakeHost host;
    TRefreshCycle cycle{roster, state, driver, log, clock, host, Host};
    std::vector<std::pair<std::string, std::string>> pages;
};

const std::string Ann = "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>";
const std::string Bob = "<small>Note: Leave - J Smith</small><br><small>Note: Bank Holiday</small>";
const std::string Cy =
    "<small>Note: Early finish<BR>(dentist)</small><br><small>Note: Annual leave, early return - K Lee</small>";

std::string Row(const std::string& name, const std::string& status)
{
    return "<tr><td bgcolor=\"#000066\" width=18%><h2>" + name + "</h2></td><td bgcolor=\"#FFFFFF\" nowrap>" +
           status + "</td><tr>";
}

TEST_F(RefreshTest, GrabLogsInFetchesEveryPersonAndWritesTheBoard)
{
    cycle.Button1Click();
    EXPECT_EQ(log.Lines, (std::vector<std::string>{
                             "Starting", "Logged in", "Updating info @ 06/12/26 10:00:00",
                             "Grabbing Page for Ann", "Redirecting", "Processing Meetings for Ann",
                             "Result: Meetings: 2, Day Events: 0..",
                             "Grabbing Page for Bob", "Redirecting", "Processing Meetings for Bob",
                             "Result: Meetings: 0, Day Events: 4....",
                             "Grabbing Page for Cy", "Redirecting", "Processing Meetings for Cy",
                             "Result: Meetings: 2, Day Events: 2....", "Done"}));
    ASSERT_EQ(control.Navigations.size(), 5u);
    EXPECT_EQ(control.Navigations[0], LoginUrl);
    EXPECT_EQ(control.Navigations[1], DayViewAddress(Host, "2026/12/06", "101"));
    EXPECT_EQ(control.Navigations[3], DayViewAddress(Host, "2026/12/06", "103"));
    EXPECT_EQ(control.Navigations[4], "http://127.0.0.1:7350/");
    EXPECT_EQ(TextLeft(control.Navigations[0], 17), "https://cal.test/");
    EXPECT_EQ(TextLeft(control.Navigations[2], 16), "http://cal.test/");

    EXPECT_EQ(host.Fragment,
              "<table border=\"2\" bordercolor=\"#000066\" cellspacing=\"0\" width=\"95%\" cellpadding=\"2\">\r\n" +
                  Row("Ann", Ann) + "\r\n" + Row("Bob", Bob) + "\r\n" + Row("Cy", Cy) +
                  "\r\n</table>\r\n<p><small><small>Page refreshed: %NOW, Data refreshed: 06/12 10:00"
                  "</small></small><p>\r\n</body></html>");
    EXPECT_EQ(roster.DayPageHtml[1], ReadDayPage("day-events.html"));
    EXPECT_FALSE(state.GrabPending);
    EXPECT_EQ(host.TimerEnables, 1);
    EXPECT_EQ(state.DataTime, Day + EncodeTime(10, 0, 0, 0));
    EXPECT_FALSE(LogMentions("pw"));
}

TEST_F(RefreshTest, WithoutGrabTheCachedPagesFollowTheClock)
{
    cycle.Button1Click();
    const TDateTime grabbedAt = state.DataTime;
    clock.Set(Day + EncodeTime(10, 45, 0, 0));
    control.Navigations.clear();
    log.Lines.clear();
    cycle.Button1Click();
    EXPECT_EQ(control.Navigations, std::vector<std::string>{"http://127.0.0.1:7350/"});
    EXPECT_EQ(CountLines("Starting"), 0);
    EXPECT_EQ(roster.StatusHtml[0], "Lab meeting until 11:00");
    EXPECT_EQ(state.DataTime, grabbedAt);
    EXPECT_NE(TextPos("Data refreshed: 06/12 10:00", host.Fragment), 0);

    clock.Set(Day + EncodeTime(11, 30, 0, 0));
    cycle.Button1Click();
    // Nothing in progress: the cell and the roster entry both hold a blank.
    EXPECT_EQ(roster.StatusHtml[0], "&nbsp;");
    EXPECT_NE(TextPos(Row("Ann", "&nbsp;"), host.Fragment), 0);
}

TEST_F(RefreshTest, FakeTimeDatesTheFetchButNotTheStamps)
{
    host.FakeTime = "25/12/2026 10:00";
    cycle.Button1Click();
    EXPECT_EQ(control.Navigations[1], DayViewAddress(Host, "2026/12/25", "101"));
    EXPECT_EQ(log.Lines[2], "Updating info @ 25/12/26 10:00:00");
    EXPECT_EQ(state.NowTime, Day + 19 + EncodeTime(10, 0, 0, 0));
    EXPECT_EQ(state.DataTime, Day + EncodeTime(10, 0, 0, 0));
    EXPECT_NE(TextPos("Data refreshed: 06/12 10:00", host.Fragment), 0);
}

TEST_F(RefreshTest, AddressDateIsWrittenWithSlashesWhateverTheRegion)
{
    TFormatSettings de = TFormatSettings::DayMonthYear();
    de.DateSep = '.';
    SetLocaleFormats(de);
    host.FakeTime = "25.12.2026 10:00";
    cycle.Button1Click();
    EXPECT_EQ(control.Navigations[1], DayViewAddress(Host, "2026/12/25", "101"));
    EXPECT_EQ(log.Lines[2], "Updating info @ 25.12.26 10:00:00");
}

TEST_F(RefreshTest, UnreadableFakeTimeFailsBeforeAnything)
{
    host.FakeTime = " ";
    try {
        cycle.Button1Click();
        FAIL() << "no EConvertError";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "' ' is not a valid date and time");
    }
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_TRUE(control.Navigations.empty());
    EXPECT_TRUE(state.GrabPending);
    EXPECT_EQ(host.TimerEnables, 0);
    EXPECT_FALSE(cycle.Running());
}

TEST_F(RefreshTest, ForceGrabLogsInAgainAndClearsTheBox)
{
    cycle.Button1Click();
    log.Lines.clear();
    host.ForceGrab = true;
    cycle.Button1Click();
    EXPECT_FALSE(host.ForceGrab);
    EXPECT_EQ(CountLines("Starting"), 1);
    EXPECT_EQ(CountLines("Grabbing Page for Cy"), 1);
    EXPECT_FALSE(state.GrabPending);
}

TEST_F(RefreshTest, GrabAskedForMidRefreshFetchesTheRestWithoutLogIn)
{
    cycle.Button1Click();
    log.Lines.clear();
    control.Navigations.clear();
    pages[0].second = "mixed.html";
    pages[1].second = "mixed.html";
    log.OnLog = [this](const std::string& text, bool) {
        if (text == "Processing Meetings for Ann") state.GrabPending = true;
    };
    cycle.Button1Click();
    // Ann's fetch was decided before the request: the page the browser still shows is not hers.
    EXPECT_EQ(roster.DayPageHtml[0], ReadDayPage("two-meetings.html"));
    EXPECT_EQ(roster.DayPageHtml[1], ReadDayPage("mixed.html"));
    EXPECT_EQ(CountLines("Starting"), 0);
    EXPECT_EQ(CountLines("Grabbing Page for Ann"), 0);
    EXPECT_EQ(CountLines("Grabbing Page for Bob"), 1);
    EXPECT_EQ(control.Navigations.size(), 3u);
    EXPECT_FALSE(state.GrabPending);
}

TEST_F(RefreshTest, GrabAskedForDuringAPageWaitReachesLaterPeople)
{
    cycle.Button1Click();
    control.Navigations.clear();
    bool asked = false;
    control.DuringPass = [&](int) {
        if (!asked) state.GrabPending = asked = true;
    };
    host.ForceGrab = true;  // this refresh grabs; the request during its first wait is part of it
    cycle.Button1Click();
    EXPECT_EQ(control.Navigations.size(), 5u);
    EXPECT_FALSE(state.GrabPending);
}

TEST_F(RefreshTest, GrabAskedForAfterTheLastPersonIsKept)
{
    cycle.Button1Click();
    log.OnLog = [this](const std::string& text, bool) {
        if (text == "Done") state.GrabPending = true;
    };
    cycle.Button1Click();
    EXPECT_TRUE(state.GrabPending);
    log.OnLog = nullptr;
    log.Lines.clear();
    cycle.Button1Click();
    EXPECT_EQ(CountLines("Starting"), 1);
    EXPECT_FALSE(state.GrabPending);
}

TEST_F(RefreshTest, ParseErrorKeepsThePreviousBoardAndTheGrabFlag)
{
    pages[1].second = "unclosed-block.html";
    EXPECT_THROW(cycle.Button1Click(), ERangeError);
    EXPECT_EQ(host.Fragment, "previous board");
    EXPECT_EQ(roster.StatusHtml[0], Ann);
    EXPECT_EQ(roster.StatusHtml[2], "");
    EXPECT_EQ(roster.DayPageHtml[1], ReadDayPage("unclosed-block.html"));
    EXPECT_EQ(roster.DayPageHtml[2], "");
    EXPECT_TRUE(state.GrabPending);
    EXPECT_EQ(host.TimerEnables, 0);
    EXPECT_EQ(control.Navigations.size(), 3u);  // no board page
    EXPECT_FALSE(cycle.Running());
}

TEST_F(RefreshTest, EmptyRosterStillLogsInAndWritesAnEmptyTable)
{
    roster.Reset();
    cycle.Button1Click();
    EXPECT_EQ(CountLines("Logged in"), 1);
    EXPECT_EQ(host.Fragment,
              "<table border=\"2\" bordercolor=\"#000066\" cellspacing=\"0\" width=\"95%\" cellpadding=\"2\">\r\n"
              "</table>\r\n<p><small><small>Page refreshed: %NOW, Data refreshed: 06/12 10:00"
              "</small></small><p>\r\n</body></html>");
}

TEST_F(RefreshTest, TimedOutDayViewStoresWhatTheBrowserShows)
{
    driver.SetTimeoutSeconds(1);
    control.PlanFor = [](const std::string&) { return std::vector<int>{1}; };  // redirect never completes
    cycle.Button1Click();
    EXPECT_EQ(TextRight(log.Lines[4], 9), "Timed Out");
    EXPECT_EQ(roster.StatusHtml[0], Ann);
    EXPECT_FALSE(state.GrabPending);
}

TEST_F(RefreshTest, CaptureKeepsTheCacheBeforeAnyNavigation)
{
    roster.DayPageHtml[0] = ReadDayPage("two-meetings.html");
    state.NowTime = Day + EncodeTime(10, 0, 0, 0);
    cycle.ProcessPerson(0);
    EXPECT_EQ(control.MarkupReads, 0);
    EXPECT_EQ(roster.StatusHtml[0], Ann);
}

TEST_F(RefreshTest, RequestDuringARefreshRunsOnceAfterIt)
{
    int inner = 0;
    control.DuringPass = [&](int) {
        if (cycle.Running() && inner < 3) {
            ++inner;
            cycle.Button1Click();  // returns at once
        }
    };
    cycle.Button1Click();
    EXPECT_EQ(inner, 3);
    EXPECT_EQ(CountLines("Done"), 2);
    EXPECT_EQ(CountLines("Starting"), 1);  // the follow-up had no grab pending
    EXPECT_EQ(host.TimerEnables, 2);
    // Never interleaved: every refresh's "Updating info" is followed by its own "Done".
    std::vector<std::string> marks;
    for (const auto& line : log.Lines) {
        if (TextPos("Updating info", line) == 1 || line == "Done") marks.push_back(TextLeft(line, 4));
    }
    EXPECT_EQ(marks, (std::vector<std::string>{"Upda", "Done", "Upda", "Done"}));
}

TEST_F(RefreshTest, RequestDuringAFailingRefreshIsDropped)
{
    pages[2].second = "bad-time.html";
    control.DuringPass = [&](int) {
        if (cycle.Running()) cycle.Button1Click();
    };
    EXPECT_THROW(cycle.Button1Click(), EConvertError);
    EXPECT_EQ(CountLines("Updating info @ 06/12/26 10:00:00"), 1);
    EXPECT_FALSE(cycle.Running());
    // The next request runs normally and grabs again.
    control.DuringPass = nullptr;
    pages[2].second = "mixed.html";
    log.Lines.clear();
    cycle.Button1Click();
    EXPECT_EQ(CountLines("Starting"), 1);
    EXPECT_EQ(CountLines("Done"), 1);
}

}  // namespace
