// The main window against a misbehaving demo calendar: a day view whose time range does not
// read, one whose block never closes, a refused log-in, and a roster line short of a field. In
// every case nothing crashes, the board keeps being served with what it showed before, and the
// operator is told why (the error a refresh raises is what the window's error box shows).
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <csignal>
#include <fstream>
#include <memory>
#include <vector>

#include "board/Unit1.h"
#include "browser/WebEngineControl.h"
#include "tests/app/E2EHelpers.h"
#include "tests/app/WebEngineTestApp.h"
#include "text/Errors.h"
#include "ui/FormClient.h"

namespace {

using namespace e2e;

constexpr int BoardPort = 7350;
// Page waits of the time-out cases, instead of PageWaitTimeoutSeconds.
constexpr int ShortPageWaitSeconds = 2;
const std::string PreviousBoard = "<p>previous board %NOW</p></body></html>";

QApplication& App() { return WebEngineTestApp(); }

std::string LogText(TForm1& form) { return form.Client().memoLog->toPlainText().toStdString(); }

// A run directory with the demo roster and a demo calendar started with the given options.
struct TFaultRun {
    explicit TFaultRun(const std::string& name, const std::vector<std::string>& calendarOptions)
        : Dir(MakeRunDir("fault-" + name)), Calendar(Dir, calendarOptions) {
        App();
        ReloadLocaleFormats();
        fs::current_path(Dir);
    }
    ~TFaultRun() {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(Dir);
    }
    TFormSettings Settings(const std::string& password = "demo") const {
        TFormSettings settings;
        settings.CalendarHost = Calendar.Host();
        settings.Trust = LoadCalendarTrust(Calendar.Host(), (Dir / "ca.pem").string());
        settings.Credentials = TCredentials{"demo", password};
        return settings;
    }
    fs::path Dir;
    TDemoCalendar Calendar;
};

// Start-up without the automatic refresh: the test presses the button itself, so that the error
// a refresh raises reaches the test rather than the event loop.
void StartWithoutTimer(TForm1& form) {
    form.FormCreate();
    form.Timer1().stop();
    form.Client().memoHTML->setPlainText(QString::fromStdString(PreviousBoard));
}

// The refresh fails with the given error class and message; the board served is still the
// previous one, the grab stays pending and the refresh timer stays stopped.
template <typename Error>
void ExpectFailedRefreshKeepsTheBoard(TForm1& form, const std::string& messagePart) {
    try {
        form.Button1Click();
        FAIL() << "the refresh did not fail";
    } catch (const Error& error) {
        EXPECT_NE(error.Message().find(messagePart), std::string::npos) << error.Message();
    }
    EXPECT_TRUE(form.State().GrabPending);
    EXPECT_FALSE(form.Timer1().isActive());
    const std::optional<THttpAnswer> page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_NE(page->Body.find("<p>previous board "), std::string::npos);
    EXPECT_EQ(CountOf(LogText(form), "Done"), 0) << LogText(form);
}

TEST(CalendarFaultsE2ETest, BrokenTimeRangeRaisesAndTheBoardStays) {
    TFaultRun run("broken-time", {"--fault", "broken-time"});
    TForm1 form(run.Settings());
    StartWithoutTimer(form);
    ExpectFailedRefreshKeepsTheBoard<EConvertError>(form, "is not a valid date and time");
    // The first person's page was fetched and kept; the refresh stopped there.
    EXPECT_EQ(CountOf(LogText(form), "Grabbing Page for "), 1) << LogText(form);
    EXPECT_FALSE(form.Roster().DayPageHtml[0].empty());

    // Pressed again, the refresh logs in, fetches and fails the same way; still nothing lost.
    ExpectFailedRefreshKeepsTheBoard<EConvertError>(form, "is not a valid date and time");
    EXPECT_EQ(CountOf(LogText(form), "Starting"), 2);
    form.FormClose();
}

TEST(CalendarFaultsE2ETest, UnterminatedBlockRaisesARangeErrorAndTheBoardStays) {
    TFaultRun run("unterminated", {"--fault", "unterminated"});
    TForm1 form(run.Settings());
    StartWithoutTimer(form);
    ExpectFailedRefreshKeepsTheBoard<ERangeError>(form, "Range check error");
    EXPECT_EQ(CountOf(LogText(form), "Grabbing Page for "), 1) << LogText(form);
    form.FormClose();
}

TEST(CalendarFaultsE2ETest, RefusedLogInStillCompletesWithEmptyRows) {
    TFaultRun run("password", {"--user", "demo", "--password", "right"});
    TForm1 form(run.Settings("wrong"));
    StartWithoutTimer(form);
    ASSERT_NO_THROW(form.Button1Click());
    const int people = form.Roster().Count();
    // Every day view is asked for and answered with a log-in request instead, so no row has a
    // status; the board is rebuilt with every person and served. Nothing tells the operator that
    // the log-in was refused: "Logged in" is written whenever the log-in page has loaded.
    const std::string fragment = form.Fragment().Snapshot();
    EXPECT_EQ(CountOf(fragment, "<h2>"), people);
    EXPECT_EQ(CountOf(fragment, "nowrap>&nbsp;</td>"), people);
    EXPECT_EQ(run.Calendar.DayViews(), people) << run.Calendar.Requests();
    EXPECT_EQ(CountOf(LogText(form), "Logged in"), 1);
    const std::optional<THttpAnswer> page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_EQ(CountOf(page->Body, "<h2>"), people);
    form.FormClose();
}

// Two people keep the waits of the time-out cases short.
void UseTwoPeople(const fs::path& dir) {
    std::ofstream roster(dir / "people.txt", std::ios::binary | std::ios::trunc);
    roster << "\"Ann Example\",1001,\"A Example\"\r\n\"Ben Carter\",1002,\"B Carter\"\r\n";
}

TEST(CalendarFaultsE2ETest, CalendarDownAtAGrabKeepsTheFetchedPages) {
    TFaultRun run("down", {});
    UseTwoPeople(run.Dir);
    TFormSettings settings = run.Settings();
    settings.PageWaitSeconds = ShortPageWaitSeconds;
    TForm1 form(settings);
    StartWithoutTimer(form);
    ASSERT_NO_THROW(form.Button1Click());
    const std::vector<std::string> fetched = form.Roster().DayPageHtml;
    ASSERT_NE(fetched[0].find("meetingNum"), std::string::npos);
    form.Timer1().stop();  // the button drives every refresh here

    // The calendar goes away; the next grab meets only the engine's error pages.
    run.Calendar.Child.Signal(SIGKILL);
    ASSERT_TRUE(run.Calendar.Child.Wait(std::chrono::seconds(5)));
    form.Client().cbForceGrab->setChecked(true);
    ASSERT_NO_THROW(form.Button1Click());
    EXPECT_EQ(form.Roster().DayPageHtml, fetched);  // nothing already fetched is lost
    EXPECT_FALSE(form.State().GrabPending);
    EXPECT_EQ(CountOf(LogText(form), "Done"), 2);
    EXPECT_GE(CountOf(LogText(form), "Timed Out"), 2) << LogText(form);  // the operator sees why
    const std::optional<THttpAnswer> page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_NE(page->Body.find("<h2>Ben Carter</h2>"), std::string::npos);
    form.FormClose();
}

TEST(CalendarFaultsE2ETest, PageThatNeverCompletesTimesOutAndTheRefreshGoesOn) {
    TFaultRun run("never", {"--fault", "never-complete"});
    UseTwoPeople(run.Dir);
    TFormSettings settings = run.Settings();
    settings.PageWaitSeconds = ShortPageWaitSeconds;
    TForm1 form(settings);
    StartWithoutTimer(form);
    ASSERT_NO_THROW(form.Button1Click());
    // The log-in wait, and both waits of each day view, end by their time-out.
    EXPECT_EQ(CountOf(LogText(form), "Timed Out"), 5) << LogText(form);
    EXPECT_EQ(CountOf(LogText(form), "Done"), 1);
    EXPECT_TRUE(form.Timer1().isActive());
    const std::optional<THttpAnswer> page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_EQ(CountOf(page->Body, "<h2>"), 2);
    form.FormClose();
}

TEST(CalendarFaultsE2ETest, RosterLineWithTwoFieldsStopsStartUpButTheBoardServes) {
    TFaultRun run("roster", {});
    {
        std::ofstream roster(run.Dir / "people.txt", std::ios::binary | std::ios::trunc);
        roster << "\"Ann Example\",1001,\"A Example\"\r\n\"Ben Carter\",1002\r\n\"Cleo Park\",1003,\"C Park\"\r\n";
    }
    TForm1 form(run.Settings());
    try {
        form.FormCreate();
        FAIL() << "start-up did not fail";
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds (2)");
    }
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_FALSE(form.Timer2().isActive());
    ASSERT_EQ(form.Roster().Count(), 3);
    EXPECT_EQ(form.Roster().CalendarItemId[1], "1002");
    EXPECT_TRUE(form.Roster().LeaveTag[2].empty());
    ASSERT_TRUE(HttpGet(BoardPort));

    // A refresh from the button runs over what the aborted start-up left: one row a person.
    ASSERT_NO_THROW(form.Button1Click());
    EXPECT_EQ(CountOf(form.Fragment().Snapshot(), "<h2>"), 3);
    const std::optional<THttpAnswer> page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_NE(page->Body.find("<h2>Ben Carter</h2>"), std::string::npos);
    form.FormClose();
}

}  // namespace
