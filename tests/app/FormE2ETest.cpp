// The main window in this process against the demo calendar: start-up, timers and caption, the
// board served from memoHTML (operator edits included), the access line in memoLog, force grab
// and a fake time, the prompt loop, and a roster that cannot be loaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "board/Unit1.h"
#include "browser/WebEngineControl.h"
#include "tests/app/E2EHelpers.h"
#include "tests/app/WebEngineTestApp.h"
#include "text/DateTime.h"
#include "text/Errors.h"
#include "ui/FormClient.h"

namespace {

using namespace e2e;
using std::chrono::seconds;

constexpr int BoardPort = 7350;

QApplication& App() { return WebEngineTestApp(); }

// Runs the event loop until ready() holds or the limit passes.
bool PumpUntil(const std::function<bool()>& ready, int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (!ready() && waited.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return ready();
}

std::string LogText(TForm1& form) { return form.Client().memoLog->toPlainText().toStdString(); }

class FormE2ETest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        App();
        ReloadLocaleFormats();
        dir = new fs::path(MakeRunDir("form"));
        calendar = new TDemoCalendar(*dir);
        fs::current_path(*dir);
    }
    static void TearDownTestSuite() {
        delete calendar;
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(*dir);
        delete dir;
    }
    TFormSettings Settings() const {
        TFormSettings settings;
        settings.CalendarHost = calendar->Host();
        settings.Trust = LoadCalendarTrust(calendar->Host(), (*dir / "ca.pem").string());
        settings.Credentials = TCredentials{"demo", "s&cret word"};
        return settings;
    }
    static fs::path* dir;
    static TDemoCalendar* calendar;
};
fs::path* FormE2ETest::dir = nullptr;
TDemoCalendar* FormE2ETest::calendar = nullptr;

TEST_F(FormE2ETest, RefreshesServesEditsForceGrabsAndFollowsAFakeTime) {
    TForm1 form(Settings());
    // Listening before start-up: the empty board is the page head alone.
    std::optional<THttpAnswer> empty = HttpGet(BoardPort);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Body.size(), 808u);
    EXPECT_NE(empty->Head.find("Server: BaLtu"), std::string::npos);

    form.FormCreate();
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_TRUE(form.Timer2().isActive());
    EXPECT_EQ(form.Timer1().interval(), 1000);
    EXPECT_EQ(form.Timer2().interval(), 3600000);
    EXPECT_TRUE(form.Client().Button1->text().startsWith("Refresh Data from Server (next auto-update at "));
    EXPECT_TRUE(form.State().GrabPending);
    form.show();

    // Timer1's first tick runs the first refresh and sets the 30-second period.
    ASSERT_TRUE(PumpUntil([&] { return CountOf(LogText(form), "Done") == 1; }, 120000)) << LogText(form);
    EXPECT_EQ(form.Timer1().interval(), 30000);
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_FALSE(form.State().GrabPending);
    const int people = form.Roster().Count();
    EXPECT_EQ(calendar->DayViews(), people);
    const std::string fragment = form.Fragment().Snapshot();
    EXPECT_EQ(fragment, form.Client().memoHTML->toPlainText().replace("\n", "\r\n").toStdString());
    EXPECT_EQ(CountOf(fragment, "<h2>"), people);

    std::optional<THttpAnswer> page = HttpGet(BoardPort, "/anything?x=1");
    ASSERT_TRUE(page);
    EXPECT_NE(page->Body.find(fragment.substr(0, 60)), std::string::npos);
    const std::string access = "127.0.0.1 \"GET /anything?x=1 HTTP/1.1\" 200 " + std::to_string(page->Body.size());
    EXPECT_TRUE(PumpUntil([&] { return LogText(form).find(access) != std::string::npos; }, 5000)) << LogText(form);

    // The operator's edit is what the server serves until the next refresh.
    form.Client().memoHTML->setPlainText("<p>edited %NOW</p>");
    page = HttpGet(BoardPort);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Body.substr(808, 16), "<p>edited " + DateTimeToText("dd/mm", ClockNow()) + " ");

    // Force grab with a fake time one day ahead: fetched again, for the fake date.
    const TDateTime fake = AddSeconds(ClockNow(), 86400);
    const std::string fakeText = DateTimeToText(LocaleFormats()->ShortDatePattern + " hh:nn", fake);
    ASSERT_NO_THROW(TextToDateTime(fakeText)) << fakeText;
    form.Client().txtDateTime->setText(QString::fromStdString(fakeText));
    form.Client().cbForceGrab->setChecked(true);
    const int periodLeft = form.Timer1().remainingTime();
    form.Client().Button1->click();
    ASSERT_TRUE(PumpUntil([&] { return CountOf(LogText(form), "Done") == 2; }, 120000)) << LogText(form);
    // Enabling the already running refresh timer did not restart its period.
    EXPECT_LT(form.Timer1().remainingTime(), periodLeft);
    EXPECT_FALSE(form.Client().cbForceGrab->isChecked());
    EXPECT_EQ(CountOf(LogText(form), "Starting"), 2);
    EXPECT_EQ(calendar->DayViews(), 2 * people);
    EXPECT_EQ(CountOf(calendar->Requests(), "web=daypage&date=" + DateTimeToText("yyyy/mm/dd", fake, TFormatSettings::Fallback())),
              people);
    EXPECT_NE(LogText(form).find("Updating info @ " + DateTimeToText("dd/mm/yy hh:nn", fake)), std::string::npos);
    EXPECT_EQ(form.Fragment().Snapshot().find("edited"), std::string::npos);

    // Without a grab the next refresh fetches nothing.
    form.Client().txtDateTime->clear();
    form.Client().Button1->click();
    ASSERT_TRUE(PumpUntil([&] { return CountOf(LogText(form), "Done") == 3; }, 60000));
    EXPECT_EQ(calendar->DayViews(), 2 * people);

    // The hourly tick asks for a grab and renews the caption.
    form.Client().Button1->setText("x");
    form.Timer2Timer();
    EXPECT_TRUE(form.State().GrabPending);
    EXPECT_EQ(form.Client().Button1->text().toStdString(),
              "Refresh Data from Server (next auto-update at " + DateTimeToText("hh:mm)", AddSeconds(ClockNow(), 3600)));

    form.FormClose();
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_FALSE(form.Timer2().isActive());
}

TEST_F(FormE2ETest, PromptsRepeatUntilBothAnswersAreGiven) {
    TFormSettings settings = Settings();
    settings.Credentials.reset();
    TForm1 form(std::move(settings));
    std::vector<std::string> asked;
    std::vector<std::string> answers{"ann", "", "ann", "pw"};
    form.SetPromptFunction([&](const std::string& caption, const std::string& prompt, const std::string& initial) {
        EXPECT_EQ(initial, "");
        asked.push_back(caption + "|" + prompt);
        return answers[asked.size() - 1];
    });
    form.FormCreate();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0], "Quorvane - Username Needed|Please enter your Tessmor userid");
    EXPECT_EQ(asked[1], "Quorvane - Password Needed|Please enter your Tessmor password");
    EXPECT_EQ(asked[2], asked[0]);
    EXPECT_EQ(form.State().UserId, "ann");
    EXPECT_EQ(form.State().Password, "pw");
    form.FormClose();
}

TEST_F(FormE2ETest, MissingRosterEndsStartUpWithTimersStoppedAndDesignCaption) {
    fs::rename(*dir / "people.txt", *dir / "people.away");
    TForm1 form(Settings());
    EXPECT_THROW(form.FormCreate(), EFOpenError);
    fs::rename(*dir / "people.away", *dir / "people.txt");
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_FALSE(form.Timer2().isActive());
    EXPECT_EQ(form.Client().Button1->text(), QStringLiteral("Refresh Data from Server Now!"));
    EXPECT_TRUE(form.State().GrabPending);
}

TEST_F(FormE2ETest, LocaleChangeRereadsTheRegionalSettings) {
    TForm1 form(Settings());
    TFormatSettings odd = TFormatSettings::Fallback();
    odd.DateSep = '#';
    SetLocaleFormats(odd);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&form, &change);
    EXPECT_EQ(LocaleFormats()->DateSep, TFormatSettings::FromEnvironment().DateSep);
}

TEST_F(FormE2ETest, SecondWindowCannotBindTheBoardPort) {
    TForm1 first(Settings());
    try {
        TForm1 second(Settings());
        FAIL() << "a second server bound the same port";
    } catch (const EQuorvaneError& error) {
        EXPECT_STREQ(error.ClassName(), "EIdCouldNotBindSocket");
        EXPECT_EQ(error.Message(), "Could not bind socket. Address and port are already in use.");
    }
}

// Last in this file: closing quits the application's event loops for the rest of the process.
TEST_F(FormE2ETest, StopRequestedDuringThePromptsEndsStartUp) {
    TFormSettings settings = Settings();
    settings.Credentials.reset();
    TForm1 form(std::move(settings));
    int asked = 0;
    form.SetPromptFunction([&](const std::string&, const std::string&, const std::string&) {
        if (++asked == 1) form.close();
        return std::string();
    });
    form.FormCreate();
    EXPECT_EQ(asked, 1);  // no password prompt after the stop
    EXPECT_TRUE(form.Closed());
    EXPECT_FALSE(form.Timer1().isActive());
}

}  // namespace
