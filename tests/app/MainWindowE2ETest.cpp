// The main window in this process against the demo calendar: start-up, timers and caption, the
// board served from fragmentEdit (operator edits included), the access line in logEdit, force grab
// and a fake time, the prompt loop, and a roster that cannot be loaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "app/MainWindow.h"
#include "browser/WebEngineControl.h"
#include "calendarfetch/CalendarRequest.h"
#include "tests/support/E2EHelpers.h"
#include "tests/support/WebEngineTestApp.h"
#include "text/DateTime.h"
#include "text/Errors.h"
#include "ui/WindowControls.h"

using namespace quorvane;

namespace {

using namespace e2e;
using std::chrono::seconds;


QApplication& app() { return webEngineTestApp(); }

// Runs the event loop until ready() holds or the limit passes.
bool pumpUntil(const std::function<bool()>& ready, int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (!ready() && waited.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return ready();
}

std::string logText(MainWindow& form) { return form.controls().logEdit->toPlainText().toStdString(); }

class MainWindowE2ETest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app();
        reloadLocaleFormats();
        dir = new fs::path(makeRunDir("form"));
        calendar = new DemoCalendar(*dir);
        fs::current_path(*dir);
    }
    static void TearDownTestSuite() {
        delete calendar;
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(*dir);
        delete dir;
    }
    ProgramSettings windowSettings() const {
        ProgramSettings settings;
        settings.board.calendarHost = calendar->host();
        settings.trust = calendarTrust(calendar->host(), loadCalendarCa((*dir / "ca.pem").string()));
        settings.credentials = Credentials{"demo", "s&cret word"};
        settings.server.port = 0;  // any free port: the tests never depend on the board's default one
        return settings;
    }
    static fs::path* dir;
    static DemoCalendar* calendar;
};
fs::path* MainWindowE2ETest::dir = nullptr;
DemoCalendar* MainWindowE2ETest::calendar = nullptr;

TEST_F(MainWindowE2ETest, RefreshesServesEditsForceGrabsAndFollowsAFakeTime) {
    MainWindow form(windowSettings());
    // Listening before start-up: the empty board is the page head alone.
    std::optional<HttpAnswer> empty = httpGet(form.site().port());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->body.size(), 808u);
    EXPECT_NE(empty->head.find("Server: BaLtu"), std::string::npos);

    form.start();
    EXPECT_TRUE(form.refreshTimer().isActive());
    EXPECT_TRUE(form.grabTimer().isActive());
    EXPECT_EQ(form.refreshTimer().interval(), 1000);
    EXPECT_EQ(form.grabTimer().interval(), 3600000);
    EXPECT_TRUE(form.controls().refreshButton->text().startsWith("Refresh Data from Server (next auto-update at "));
    EXPECT_TRUE(form.controller().state().grabPending);
    form.show();

    // refreshTimer's first tick runs the first refresh and sets the 30-second period.
    ASSERT_TRUE(pumpUntil([&] { return countOf(logText(form), "Done") == 1; }, 120000)) << logText(form);
    EXPECT_EQ(form.refreshTimer().interval(), 30000);
    EXPECT_TRUE(form.refreshTimer().isActive());
    EXPECT_FALSE(form.controller().state().grabPending);
    const int people = static_cast<int>(form.controller().roster().size());
    EXPECT_EQ(calendar->dayViews(), people);
    const std::string fragment = form.site().board().fragment();
    EXPECT_EQ(fragment, form.controls().fragmentEdit->toPlainText().replace("\n", "\r\n").toStdString());
    EXPECT_EQ(countOf(fragment, "<h2>"), people);

    std::optional<HttpAnswer> page = httpGet(form.site().port(), "/anything?x=1");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find(fragment.substr(0, 60)), std::string::npos);
    const std::string access = "127.0.0.1 \"GET /anything?x=1 HTTP/1.1\" 200 " + std::to_string(page->body.size());
    EXPECT_TRUE(pumpUntil([&] { return logText(form).find(access) != std::string::npos; }, 5000)) << logText(form);

    // The operator's edit is what the server serves until the next refresh.
    form.controls().fragmentEdit->setPlainText("<p>edited %NOW</p>");
    page = httpGet(form.site().port());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->body.substr(808, 16), "<p>edited " + dateTimeToText("dd/mm", clockNow()) + " ");

    // Force grab with a fake time one day ahead: fetched again, for the fake date.
    const DateTime fake = addSeconds(clockNow(), 86400);
    const std::string fakeText = dateTimeToText(localeFormats()->shortDatePattern + " hh:nn", fake);
    ASSERT_NO_THROW(textToDateTime(fakeText)) << fakeText;
    form.controls().fakeTimeEdit->setText(QString::fromStdString(fakeText));
    form.controls().forceGrabBox->setChecked(true);
    const int periodLeft = form.refreshTimer().remainingTime();
    form.controls().refreshButton->click();
    ASSERT_TRUE(pumpUntil([&] { return countOf(logText(form), "Done") == 2; }, 120000)) << logText(form);
    // Enabling the already running refresh timer did not restart its period.
    EXPECT_LT(form.refreshTimer().remainingTime(), periodLeft);
    EXPECT_FALSE(form.controls().forceGrabBox->isChecked());
    EXPECT_EQ(countOf(logText(form), "Starting"), 2);
    EXPECT_EQ(calendar->dayViews(), 2 * people);
    EXPECT_EQ(countOf(calendar->requests(), "web=daypage&date=" + dateTimeToText("yyyy/mm/dd", fake, FormatSettings::fallback())),
              people);
    EXPECT_NE(logText(form).find("Updating info @ " + dateTimeToText("dd/mm/yy hh:nn", fake)), std::string::npos);
    EXPECT_EQ(form.site().board().fragment().find("edited"), std::string::npos);

    // Without a grab the next refresh fetches nothing.
    form.controls().fakeTimeEdit->clear();
    form.controls().refreshButton->click();
    ASSERT_TRUE(pumpUntil([&] { return countOf(logText(form), "Done") == 3; }, 60000));
    EXPECT_EQ(calendar->dayViews(), 2 * people);

    // The hourly tick asks for a grab and renews the caption.
    form.controls().refreshButton->setText("x");
    form.onGrabTimer();
    EXPECT_TRUE(form.controller().state().grabPending);
    EXPECT_EQ(form.controls().refreshButton->text().toStdString(),
              "Refresh Data from Server (next auto-update at " + dateTimeToText("hh:mm)", addSeconds(clockNow(), 3600)));

    form.stopTimers();
    EXPECT_FALSE(form.refreshTimer().isActive());
    EXPECT_FALSE(form.grabTimer().isActive());
}

TEST_F(MainWindowE2ETest, PromptsRepeatUntilBothAnswersAreGiven) {
    ProgramSettings settings = windowSettings();
    settings.credentials.reset();
    MainWindow form(std::move(settings));
    std::vector<std::string> asked;
    std::vector<std::string> answers{"ann", "", "ann", "pw"};
    form.setPromptFunction([&](const std::string& caption, const std::string& prompt, const std::string& initial) {
        EXPECT_EQ(initial, "");
        asked.push_back(caption + "|" + prompt);
        return answers[asked.size() - 1];
    });
    form.start();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0], "Quorvane - Username Needed|Please enter your Tessmor userid");
    EXPECT_EQ(asked[1], "Quorvane - Password Needed|Please enter your Tessmor password");
    EXPECT_EQ(asked[2], asked[0]);
    EXPECT_EQ(form.controller().state().userId, "ann");
    EXPECT_EQ(form.controller().state().password, "pw");
    form.stopTimers();
}

TEST_F(MainWindowE2ETest, MissingRosterIsOneErrorLineAndTheBoardRunsWithNoOne) {
    fs::rename(*dir / "people.txt", *dir / "people.away");
    MainWindow form(windowSettings());
    form.start();
    fs::rename(*dir / "people.away", *dir / "people.txt");
    // The timers run: a SIGHUP's roster is taken by the next refresh.
    EXPECT_TRUE(form.refreshTimer().isActive());
    EXPECT_TRUE(form.grabTimer().isActive());
    form.stopTimers();
    EXPECT_TRUE(form.controller().roster().empty());
    const std::string log = form.controls().logEdit->toPlainText().toStdString();
    const std::size_t said = log.find("Roster not read, the board lists no one: Cannot open file \"");
    EXPECT_NE(said, std::string::npos) << log;
    EXPECT_EQ(log.find("Roster not read", said + 1), std::string::npos) << log;  // said once
    EXPECT_TRUE(form.controller().state().grabPending);
}

TEST_F(MainWindowE2ETest, LocaleChangeRereadsTheRegionalSettings) {
    MainWindow form(windowSettings());
    FormatSettings odd = FormatSettings::fallback();
    odd.dateSep = '#';
    setLocaleFormats(odd);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&form, &change);
    EXPECT_EQ(localeFormats()->dateSep, FormatSettings::fromEnvironment().dateSep);
}

TEST_F(MainWindowE2ETest, SecondWindowCannotBindTheBoardPort) {
    MainWindow first(windowSettings());
    ProgramSettings settings = windowSettings();
    settings.server.port = first.site().port();
    try {
        MainWindow second(std::move(settings));
        FAIL() << "a second server bound the same port";
    } catch (const QuorvaneError& error) {
        EXPECT_STREQ(error.className(), "EIdCouldNotBindSocket");
        EXPECT_EQ(error.message(), "Could not bind socket. Address and port are already in use.");
    }
}

// Last in this file: closing quits the application's event loops for the rest of the process.
TEST_F(MainWindowE2ETest, StopRequestedDuringThePromptsEndsStartUp) {
    ProgramSettings settings = windowSettings();
    settings.credentials.reset();
    MainWindow form(std::move(settings));
    int asked = 0;
    form.setPromptFunction([&](const std::string&, const std::string&, const std::string&) {
        if (++asked == 1) form.close();
        return std::string();
    });
    form.start();
    EXPECT_EQ(asked, 1);  // no password prompt after the stop
    EXPECT_TRUE(form.closed());
    EXPECT_FALSE(form.refreshTimer().isActive());
}

}  // namespace
