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

#include "app/MainWindow.h"
#include "browser/WebEngineControl.h"
#include "tests/support/E2EHelpers.h"
#include "tests/support/WebEngineTestApp.h"
#include "text/Errors.h"
#include "ui/WindowControls.h"

namespace {

using namespace e2e;

// Page waits of the time-out cases, instead of PageWaitTimeoutSeconds.
constexpr int ShortPageWaitSeconds = 2;
const std::string PreviousBoard = "<p>previous board %NOW</p></body></html>";

QApplication& app() { return webEngineTestApp(); }

std::string logText(MainWindow& form) { return form.controls().logEdit->toPlainText().toStdString(); }

// A run directory with the demo roster and a demo calendar started with the given options.
struct FaultRun {
    explicit FaultRun(const std::string& name, const std::vector<std::string>& calendarOptions)
        : dir(makeRunDir("fault-" + name)), calendar(dir, calendarOptions) {
        app();
        reloadLocaleFormats();
        fs::current_path(dir);
    }
    ~FaultRun() {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(dir);
    }
    WindowSettings settings(const std::string& password = "demo") const {
        WindowSettings settings;
        settings.calendarHost = calendar.host();
        settings.trust = loadCalendarTrust(calendar.host(), (dir / "ca.pem").string());
        settings.credentials = Credentials{"demo", password};
        settings.port = 0;  // any free port: the tests never depend on the board's default one
        return settings;
    }
    fs::path dir;
    DemoCalendar calendar;
};

// Start-up without the automatic refresh: the test presses the button itself, so that the error
// a refresh raises reaches the test rather than the event loop.
void startWithoutTimer(MainWindow& form) {
    form.start();
    form.refreshTimer().stop();
    form.controls().fragmentEdit->setPlainText(QString::fromStdString(PreviousBoard));
}

// The refresh fails with the given error class and message; the board served is still the
// previous one, the grab stays pending and the refresh timer stays stopped.
template <typename Error>
void expectFailedRefreshKeepsTheBoard(MainWindow& form, const std::string& messagePart) {
    try {
        form.requestRefresh();
        FAIL() << "the refresh did not fail";
    } catch (const Error& error) {
        EXPECT_NE(error.message().find(messagePart), std::string::npos) << error.message();
    }
    EXPECT_TRUE(form.controller().state().grabPending);
    EXPECT_FALSE(form.refreshTimer().isActive());
    const std::optional<HttpAnswer> page = httpGet(form.controller().port());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<p>previous board "), std::string::npos);
    EXPECT_EQ(countOf(logText(form), "Done"), 0) << logText(form);
}

TEST(CalendarFaultsE2ETest, BrokenTimeRangeRaisesAndTheBoardStays) {
    FaultRun run("broken-time", {"--fault", "broken-time"});
    MainWindow form(run.settings());
    startWithoutTimer(form);
    expectFailedRefreshKeepsTheBoard<ConvertError>(form, "is not a valid date and time");
    // The first person's page was fetched and kept; the refresh stopped there.
    EXPECT_EQ(countOf(logText(form), "Grabbing Page for "), 1) << logText(form);
    EXPECT_FALSE(form.controller().roster().dayPageHtml[0].empty());

    // Pressed again, the refresh logs in, fetches and fails the same way; still nothing lost.
    expectFailedRefreshKeepsTheBoard<ConvertError>(form, "is not a valid date and time");
    EXPECT_EQ(countOf(logText(form), "Starting"), 2);
    form.stopTimers();
}

TEST(CalendarFaultsE2ETest, UnterminatedBlockRaisesARangeErrorAndTheBoardStays) {
    FaultRun run("unterminated", {"--fault", "unterminated"});
    MainWindow form(run.settings());
    startWithoutTimer(form);
    expectFailedRefreshKeepsTheBoard<RangeError>(form, "Range check error");
    EXPECT_EQ(countOf(logText(form), "Grabbing Page for "), 1) << logText(form);
    form.stopTimers();
}

TEST(CalendarFaultsE2ETest, RefusedLogInStillCompletesWithEmptyRows) {
    FaultRun run("password", {"--user", "demo", "--password", "right"});
    MainWindow form(run.settings("wrong"));
    startWithoutTimer(form);
    ASSERT_NO_THROW(form.requestRefresh());
    const int people = form.controller().roster().count();
    // Every day view is asked for and answered with a log-in request instead, so no row has a
    // status; the board is rebuilt with every person and served. Nothing tells the operator that
    // the log-in was refused: "Logged in" is written whenever the log-in page has loaded.
    const std::string fragment = form.controller().fragment().snapshot();
    EXPECT_EQ(countOf(fragment, "<h2>"), people);
    EXPECT_EQ(countOf(fragment, "nowrap>&nbsp;</td>"), people);
    EXPECT_EQ(run.calendar.dayViews(), people) << run.calendar.requests();
    EXPECT_EQ(countOf(logText(form), "Logged in"), 1);
    const std::optional<HttpAnswer> page = httpGet(form.controller().port());
    ASSERT_TRUE(page);
    EXPECT_EQ(countOf(page->body, "<h2>"), people);
    form.stopTimers();
}

// Two people keep the waits of the time-out cases short.
void useTwoPeople(const fs::path& dir) {
    std::ofstream roster(dir / "people.txt", std::ios::binary | std::ios::trunc);
    roster << "\"Ann Example\",1001,\"A Example\"\r\n\"Ben Carter\",1002,\"B Carter\"\r\n";
}

TEST(CalendarFaultsE2ETest, CalendarDownAtAGrabKeepsTheFetchedPages) {
    FaultRun run("down", {});
    useTwoPeople(run.dir);
    WindowSettings settings = run.settings();
    settings.pageWaitSeconds = ShortPageWaitSeconds;
    MainWindow form(settings);
    startWithoutTimer(form);
    ASSERT_NO_THROW(form.requestRefresh());
    const std::vector<std::string> fetched = form.controller().roster().dayPageHtml;
    ASSERT_NE(fetched[0].find("meetingNum"), std::string::npos);
    form.refreshTimer().stop();  // the button drives every refresh here

    // The calendar goes away; the next grab meets only the engine's error pages.
    run.calendar.child.signal(SIGKILL);
    ASSERT_TRUE(run.calendar.child.wait(std::chrono::seconds(5)));
    form.controls().forceGrabBox->setChecked(true);
    ASSERT_NO_THROW(form.requestRefresh());
    EXPECT_EQ(form.controller().roster().dayPageHtml, fetched);  // nothing already fetched is lost
    EXPECT_FALSE(form.controller().state().grabPending);
    EXPECT_EQ(countOf(logText(form), "Done"), 2);
    EXPECT_GE(countOf(logText(form), "Timed Out"), 2) << logText(form);  // the operator sees why
    const std::optional<HttpAnswer> page = httpGet(form.controller().port());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<h2>Ben Carter</h2>"), std::string::npos);
    form.stopTimers();
}

TEST(CalendarFaultsE2ETest, PageThatNeverCompletesTimesOutAndTheRefreshGoesOn) {
    FaultRun run("never", {"--fault", "never-complete"});
    useTwoPeople(run.dir);
    WindowSettings settings = run.settings();
    settings.pageWaitSeconds = ShortPageWaitSeconds;
    MainWindow form(settings);
    startWithoutTimer(form);
    ASSERT_NO_THROW(form.requestRefresh());
    // The log-in wait, and both waits of each day view, end by their time-out.
    EXPECT_EQ(countOf(logText(form), "Timed Out"), 5) << logText(form);
    EXPECT_EQ(countOf(logText(form), "Done"), 1);
    EXPECT_TRUE(form.refreshTimer().isActive());
    const std::optional<HttpAnswer> page = httpGet(form.controller().port());
    ASSERT_TRUE(page);
    EXPECT_EQ(countOf(page->body, "<h2>"), 2);
    form.stopTimers();
}

TEST(CalendarFaultsE2ETest, RosterLineWithTwoFieldsStopsStartUpButTheBoardServes) {
    FaultRun run("roster", {});
    {
        std::ofstream roster(run.dir / "people.txt", std::ios::binary | std::ios::trunc);
        roster << "\"Ann Example\",1001,\"A Example\"\r\n\"Ben Carter\",1002\r\n\"Cleo Park\",1003,\"C Park\"\r\n";
    }
    MainWindow form(run.settings());
    try {
        form.start();
        FAIL() << "start-up did not fail";
    } catch (const StringListError& error) {
        EXPECT_EQ(error.message(), "List index out of bounds (2)");
    }
    EXPECT_FALSE(form.refreshTimer().isActive());
    EXPECT_FALSE(form.grabTimer().isActive());
    ASSERT_EQ(form.controller().roster().count(), 3);
    EXPECT_EQ(form.controller().roster().calendarItemId[1], "1002");
    EXPECT_TRUE(form.controller().roster().leaveTag[2].empty());
    ASSERT_TRUE(httpGet(form.controller().port()));

    // A refresh from the button runs over what the aborted start-up left: one row a person.
    ASSERT_NO_THROW(form.requestRefresh());
    EXPECT_EQ(countOf(form.controller().fragment().snapshot(), "<h2>"), 3);
    const std::optional<HttpAnswer> page = httpGet(form.controller().port());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<h2>Ben Carter</h2>"), std::string::npos);
    form.stopTimers();
}

}  // namespace
