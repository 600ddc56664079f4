// The Qt WebEngine browser control: location before and after navigation, the markup in the
// calendar's old style, one completion per document with a meta-refresh redirect's two seen by
// separate passes, progress reports, and HTTPS trust for the calendar host only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QSslCertificate>
#include <QWidget>

#include "browser/BrowserConstants.h"
#include "browser/WebEngineControl.h"
#include "tests/support/E2EHelpers.h"
#include "tests/support/WebEngineTestApp.h"
#include "text/Errors.h"

namespace {

using namespace e2e;

QApplication& app() { return webEngineTestApp(); }

class WebEngineControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app();
        dir = new fs::path(makeRunDir("webengine"));
    }
    static void TearDownTestSuite() {
        fs::remove_all(*dir);
        delete dir;
    }
    std::string fileUrl(const std::string& name, const std::string& html) {
        std::ofstream(*dir / name, std::ios::binary) << html;
        return "file://" + (*dir / name).string();
    }
    // Passes until count completions have been seen (or 100 passes); returns the passes run.
    int passUntil(WebEngineControl& control, const int& completions, int count) {
        int passes = 0;
        while (completions < count && passes < 100) {
            runPass(control);
            ++passes;
        }
        return passes;
    }
    // One pass of the control, the event loop running until it ends.
    static void runPass(WebEngineControl& control) {
        QEventLoop loop;
        control.onPassEnd = [&loop] { loop.quit(); };
        control.startPass();
        loop.exec();
        control.onPassEnd = nullptr;
    }
    static std::string markupOf(WebEngineControl& control) {
        QEventLoop loop;
        std::optional<std::string> markup;
        control.readMarkup([&](std::optional<std::string> read) {
            markup = std::move(read);
            loop.quit();
        });
        loop.exec();
        return markup.value_or("");
    }
    static fs::path* dir;
};
fs::path* WebEngineControlTest::dir = nullptr;

TEST_F(WebEngineControlTest, MarkupComesBackInTheCalendarsOldStyle) {
    QWidget parent;
    WebEngineControl control(&parent);
    int completions = 0;
    control.onDocumentComplete = [&] { ++completions; };
    EXPECT_EQ(control.locationUrl(), "");
    const std::string url = fileUrl("day.html",
        "<html><head><title>Day</title></head><body>"
        "<a name=\"meetingNum1\" href=\"x?a=1\">Budget</a>09:00 - 10:30<br>Review<br> (Room 4)</font>"
        "<font size=\"-1\">Bank Holiday</font><table><tr><td nowrap>c</td></tr></table>"
        "<!-- kept --><p>a&amp;b&nbsp;c &lt;d&gt;</p><script>if (1<2) {}</script>"
        "<img src=\"p.png\" alt=\"a b\"><input type=\"text\" value=\"say &quot;hi&quot;\"></body></html>");
    control.navigate(url);
    passUntil(control, completions, 1);
    ASSERT_EQ(completions, 1);
    EXPECT_EQ(control.locationUrl(), url);
    const std::string markup = markupOf(control);
    EXPECT_NE(markup.find("<HEAD><TITLE>Day</TITLE></HEAD><BODY>"), std::string::npos) << markup;
    EXPECT_NE(markup.find("<A name=meetingNum1 href=\"x?a=1\">Budget</A>09:00 - 10:30<BR>Review<BR> (Room 4)"),
              std::string::npos) << markup;
    EXPECT_NE(markup.find("<FONT size=-1>Bank Holiday</FONT>"), std::string::npos);
    EXPECT_NE(markup.find("<TABLE><TBODY><TR><TD nowrap>c</TD></TR></TBODY></TABLE>"), std::string::npos);
    EXPECT_NE(markup.find("<!-- kept -->"), std::string::npos);
    EXPECT_NE(markup.find("<P>a&amp;b&nbsp;c &lt;d&gt;</P>"), std::string::npos);
    EXPECT_NE(markup.find("<SCRIPT>if (1<2) {}</SCRIPT>"), std::string::npos);
    EXPECT_NE(markup.find("<IMG src=p.png alt=\"a b\"><INPUT type=text value=\"say &quot;hi&quot;\"></BODY>"),
              std::string::npos) << markup;
    EXPECT_EQ(markup.find("</IMG>"), std::string::npos);
    EXPECT_EQ(markup.find("<HTML"), std::string::npos);
}

TEST_F(WebEngineControlTest, MetaRefreshRedirectCompletesTwoDocumentsInSeparatePasses) {
    QWidget parent;
    WebEngineControl control(&parent);
    int completions = 0;
    std::vector<std::pair<int, int>> progress;
    control.onDocumentComplete = [&] { ++completions; };
    control.onProgressChange = [&](int p, int max) { progress.emplace_back(p, max); };
    const std::string target = fileUrl("target.html", "<html><body>arrived</body></html>");
    control.navigate(fileUrl("redirect.html",
                             "<html><head><meta http-equiv=\"refresh\" content=\"0;url=" + target +
                                 "\"></head><body>wait</body></html>"));
    passUntil(control, completions, 1);
    EXPECT_EQ(completions, 1);  // the pass ended with the first document
    passUntil(control, completions, 2);
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(control.locationUrl(), target);
    EXPECT_NE(markupOf(control).find("arrived"), std::string::npos);
    ASSERT_FALSE(progress.empty());
    for (const auto& [p, max] : progress) {
        EXPECT_EQ(max, 100);
        EXPECT_GE(p, 0);
        EXPECT_LE(p, 100);
    }
}

TEST_F(WebEngineControlTest, LoadCutShortByANewNavigationIsNoCompletedDocument) {
    const fs::path hangDir = *dir / "hang";
    fs::create_directories(hangDir);
    DemoCalendar hanging(hangDir, {"--fault", "never-complete"});
    ASSERT_GT(hanging.port, 0);
    QWidget parent;
    WebEngineControl control(&parent);
    int completions = 0;
    control.onDocumentComplete = [&] { ++completions; };
    control.navigate("http://" + hanging.host() + "/ocas-bin/ocas.fcgi?sub=web&web=daypage");
    for (int pass = 0; pass < 5; ++pass) runPass(control);
    EXPECT_EQ(completions, 0);
    const std::string target = fileUrl("after.html", "<html><body>after</body></html>");
    control.navigate(target);
    passUntil(control, completions, 1);
    for (int pass = 0; pass < 5; ++pass) runPass(control);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(control.locationUrl(), target);
}

TEST_F(WebEngineControlTest, AfterAStopPassesEndAtOnceAndMarkupReadsComeBackEmpty) {
    QWidget parent;
    WebEngineControl control(&parent);
    control.navigate(fileUrl("stop.html", "<html><body>x</body></html>"));
    control.abortWaits();
    QElapsedTimer took;
    took.start();
    for (int pass = 0; pass < 5; ++pass) runPass(control);
    bool answered = false;
    control.readMarkup([&](std::optional<std::string> markup) {
        answered = true;
        EXPECT_FALSE(markup.has_value());
    });
    EXPECT_FALSE(answered);  // never inside the call: always from the event loop
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(answered);
    EXPECT_LT(took.elapsed(), 5 * WaitPassMilliseconds);
}

TEST_F(WebEngineControlTest, CalendarCertificateTrustedOnlyWhenGivenAndOnlyForItsHost) {
    DemoCalendar calendar(*dir);
    ASSERT_GT(calendar.port, 0);
    const std::string login = "https://" + calendar.host() +
                              "/ocas-bin/ocas.fcgi?sub=web&web=login&srch_query=demo&srch_xitemid=&password=pw&ok=ok&ada=on";
    {
        QWidget parent;
        WebEngineControl untrusting(&parent);
        int completions = 0;
        untrusting.onDocumentComplete = [&] { ++completions; };
        untrusting.navigate(login);
        passUntil(untrusting, completions, 1);
        EXPECT_EQ(countOf(calendar.requests(), "web=login"), 0) << calendar.requests();
    }
    const CalendarTrust trust =
        calendarTrust(calendar.host(), QSslCertificate::fromPath(QString::fromStdString((*dir / "ca.pem").string())));
    EXPECT_FALSE(trust.accepts(QString::fromStdString("https://localhost:" + std::to_string(calendar.port) + "/"),
                               trust.certificates));
    EXPECT_FALSE(trust.accepts(QString::fromStdString("https://127.0.0.1:1/"), trust.certificates));
    EXPECT_FALSE(trust.accepts(QString::fromStdString("https://" + calendar.host() + "/"), {}));
    QWidget parent;
    WebEngineControl trusting(&parent, trust);
    int completions = 0;
    trusting.onDocumentComplete = [&] { ++completions; };
    trusting.navigate(login);
    passUntil(trusting, completions, 1);
    EXPECT_TRUE(waitFor([&] { return countOf(calendar.requests(), "web=login") == 1; }, std::chrono::seconds(5)));
}

}  // namespace
