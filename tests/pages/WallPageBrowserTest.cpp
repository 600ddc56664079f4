// The wall page in a real browser (Qt WebEngine, offscreen) served from loopback: the first data
// as rows with state labels and statuses shown as text, the live clock, the stale-data banner,
// screenshots at 1280x720 and 1920x1080 (kept in the build tree, tests/pages/artifacts/), page
// rotation for 300 people, "Connection lost" while the board is away, gone when it returns, and
// the page in each language and theme: its texts, the 12-hour clock, rows that failed saying so,
// end times never cut, a meeting's end shown at that second, and text contrast of 4.5:1 or more.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/calendar/ZoneScope.h"
#include "tests/support/E2EHelpers.h"
#include "tests/support/WebEngineTestApp.h"
#include "pages/BoardJson.h"
#include "pages/SelfStatusPage.h"
#include "pages/StatusCell.h"
#include "pages/WallPage.h"
#include "tests/pages/BoardRows.h"
#include "tests/pages/WallPageServer.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(QUORVANE_TEST_DATA) + "/pages/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Keeps what the page writes to its console.
class ConsolePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    QStringList errors, all;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        const QString text = source + ":" + QString::number(line) + ": " + message;
        all << text;
        if (level == ErrorMessageLevel) errors << text;
    }
};

// One browser view of the wall page.
class WallView {
public:
    WallView(int width, int height) : page_(new ConsolePage(&view_)) {
        view_.setPage(page_);
        view_.resize(width, height);
        view_.show();
    }
    ConsolePage& page() { return *page_; }
    void resize(int width, int height) { view_.resize(width, height); }

    void load(const QString& url) { view_.load(QUrl(url)); }

    // The script's value (run in the page, waited for).
    QVariant js(const QString& script) {
        QVariant result;
        bool done = false;
        QEventLoop loop;
        page_->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (!done) loop.exec();
        return result;
    }
    QJsonValue jsJson(const QString& script) {
        const QString text = js("JSON.stringify(" + script + ")").toString();
        return QJsonDocument::fromJson(("[" + text + "]").toUtf8()).array().at(0);
    }
    // Polls the script until it is truthy or the limit passes.
    bool waitFor(const QString& script, int limitMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < limitMs) {
            if (js("!!(" + script + ")").toBool()) return true;
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return js("!!(" + script + ")").toBool();
    }
    void settle(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    bool screenshot(const fs::path& path) {
        fs::create_directories(path.parent_path());
        return view_.grab().save(QString::fromStdString(path.string()), "PNG", 0);  // 0: smallest file
    }

private:
    QWebEngineView view_;
    ConsolePage* page_;
};

const fs::path Artifacts = QUORVANE_WEB_ARTIFACTS;

constexpr const char* FirstData = "document.body.dataset.firstDataMs";
constexpr const char* RowCount = "document.querySelectorAll('#rows li').length";
// The first shown row not inside the list's box (cut off at the bottom or the side), or "".
constexpr const char* RowOutside =
    "(function(){var l=document.getElementById('rows').getBoundingClientRect(),bad='';"
    "document.querySelectorAll('#rows li').forEach(function(r,i){var b=r.getBoundingClientRect();"
    "if(!bad&&(b.top<l.top-1||b.bottom>l.bottom+1||b.right>l.right+1||b.height<20))"
    "bad='row '+i+' at '+JSON.stringify(b)+' in '+JSON.stringify(l);});return bad;})()";

// A board read a few minutes ago, with the demo's kind of day.
std::string freshBoard(bool lastGrabOk, int people = 0, int dataAgeSeconds = 240) {
    const std::int64_t now = std::time(nullptr);
    BoardSnapshot board;
    board.dataTime = instantOfUnix(now - dataAgeSeconds);
    board.lastGrabOk = lastGrabOk;
    board.lastGrabTime = instantOfUnix(now - 200);
    board.people = {
        person("Alice Andrews", PersonState::Meeting, {meeting("Budget review (Room 4)", now + 2700)}),
        person("Bob Baker", PersonState::Free),
        person("Carol Chen", PersonState::Leave, {}, {note("Annual Leave (CC)", NoteKind::Leave)}),
        person("David Dunn", PersonState::Meeting,
               {meeting("Sprint planning (Blue room)", now + 1800), meeting("Supplier call", now + 3600)}),
        person("Erin Evans", PersonState::Note, {}, {note("Late start 10:00", NoteKind::Late)}),
        person("Frank Fischer", PersonState::Free),
        person("Grace Green", PersonState::Note, {}, {note("Early finish 15:00", NoteKind::Early)}),
        person("Hugo Hart", PersonState::Meeting, {meeting("Site visit, Northgate", now + 7200)},
               {note("Early finish 16:00", NoteKind::Early)}),
        person("Ines Ito", PersonState::Note, {}, {note("Bank Holiday (Scotland)", NoteKind::Holiday)}),
        person("Jack Jones", PersonState::Unknown),
        person("Kira Klein", PersonState::Free),
        person("Liam Lee", PersonState::Meeting, {meeting("Night shift cover", now + 20000, false)}),
    };
    for (int i = 0; i < people; ++i)
        board.people.push_back(i % 3 ? person("Person " + std::to_string(i + 1), PersonState::Free)
                                     : person("Person " + std::to_string(i + 1), PersonState::Meeting,
                                              {meeting("Team meeting", now + 1800)}));
    return buildBoardJson(board, false, instantOfUnix(now));
}

// The lowest contrast ratio (WCAG) of any shown text against the colour behind it, and where.
constexpr const char* LowestContrast =
    "(function(){function rgb(c){var m=c.match(/[\\d.]+/g).map(Number);return m.length>3&&m[3]===0?null:m;}"
    "function lum(c){var v=c.slice(0,3).map(function(x){x/=255;return x<=0.03928?x/12.92:Math.pow((x+0.055)/1.055,2.4);});"
    "return 0.2126*v[0]+0.7152*v[1]+0.0722*v[2];}"
    "function behind(e){for(;e;e=e.parentElement){var b=rgb(getComputedStyle(e).backgroundColor);if(b)return b;}return [255,255,255];}"
    "var low={ratio:99,where:''};document.querySelectorAll('body *').forEach(function(e){"
    "var own=Array.prototype.some.call(e.childNodes,function(n){return n.nodeType===3&&n.textContent.trim();});"
    "if(!own||!e.getClientRects().length||getComputedStyle(e).visibility==='hidden')return;"
    "var a=lum(rgb(getComputedStyle(e).color)),b=lum(behind(e)),r=(Math.max(a,b)+0.05)/(Math.min(a,b)+0.05);"
    "if(r<low.ratio)low={ratio:r,where:(e.id||e.className)+' \"'+e.textContent+'\"'};});return low;})()";
// The first chip whose label does not fit it, or "".
constexpr const char* ChipCut =
    "(function(){var bad='';document.querySelectorAll('#rows .chip').forEach(function(c){"
    "if(!bad&&c.scrollWidth>c.clientWidth+1)bad=c.textContent;});return bad;})()";
// Each row's who (name and "as of"), chip, main line and second line.
constexpr const char* RowTexts =
    "Array.prototype.map.call(document.querySelectorAll('#rows li'),function(r){return [r.children[0].children[1].textContent,"
    "r.children[1].textContent,r.children[2].children[0].textContent,r.children[2].children[1].textContent];})";

// 2024-05-08 in Central European summer time (+02:00).
constexpr std::int64_t At0905 = 1715151900, At0930 = 1715153400, At1030 = 1715157000, At1400 = 1715169600,
                       At1545 = 1715175900;
// A meeting that ends this many seconds after the page's first data.
constexpr int EndsSoonSeconds = 6;

// An office of seven at 09:30: rows that failed (one read earlier, one never), a free person
// with their next meeting known, a title too long for its line ending the next day, a second
// line, a private meeting and a meeting about to end.
std::string officeBoard() {
    ZoneScope zone("CET-1CEST,M3.5.0,M10.5.0/3");
    BoardSnapshot board;
    board.dataTime = instantOfUnix(At0905);
    board.lastGrabOk = false;  // two rows failed; they say so themselves
    board.lastGrabTime = instantOfUnix(At0905 + 70);
    board.people = {
        person("Ann Archer", PersonState::Meeting, {meeting("Budget review (Room 4)", At1030)}),
        person("Ben Brook", PersonState::Meeting,
               {meeting("Quarterly planning with the regional directors, finance, facilities and the works council "
                        "(Main hall, second floor)", At1545 + 86400)}),
        person("Cara Cole", PersonState::Leave, {},
               {note("Annual Leave (CC)", NoteKind::Leave), note("Early finish 15:00", NoteKind::Early)}),
        person("Dan Dale", PersonState::Free),
        person("Eve Ek", PersonState::Unknown),
        person("Finn Fox", PersonState::Meeting, {meeting("Private", At1030)}),
        person("Gus Gray", PersonState::Meeting, {meeting("Quick sync", At0930 + EndsSoonSeconds)}),
    };
    board.people[3].status.freeUntil = instantOfUnix(At1400);
    board.people[4].failure = "Eve Ek: HTTP 401";
    board.people[5].failure = "Finn Fox: HTTP 503";
    board.people[5].fetchedAt = instantOfUnix(At0905);
    board.people[5].status.meetings[0].isPrivate = true;
    return buildBoardJson(board, false, instantOfUnix(At0930));
}

class WallPageBrowserTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { e2e::webEngineTestApp(); }
    void SetUp() override { ASSERT_TRUE(server_.start()); }
    QString url(const QString& query = {}) {
        return "http://127.0.0.1:" + QString::number(server_.port()) + "/" + query;
    }
    WallPageServer server_{wallPageHtml("Tessmor Office")};
};

TEST_F(WallPageBrowserTest, FirstDataShowsOneRowPerPersonWithLabelsAndTextOnly) {
    server_.setJson(readFixture("board.json"));
    WallView view(1280, 720);
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    view.load(url());
    ASSERT_TRUE(view.waitFor(FirstData, 20000)) << view.page().all.join("\n").toStdString();
    std::cout << "load to first data: " << sinceLoad.elapsed() << " ms (test side), "
              << view.js(FirstData).toString().toStdString() << " ms after navigation start (page side)\n";

    EXPECT_EQ(view.js("document.title").toString(), "Tessmor Office");
    ASSERT_EQ(view.js(RowCount).toInt(), 7);
    const QJsonArray rows = view.jsJson(
        "Array.prototype.map.call(document.querySelectorAll('#rows li'),function(r){return [r.children[0].textContent,"
        "r.children[1].textContent,r.children[2].children[0].textContent,r.children[2].children[1].textContent];})").toArray();
    const struct {
        const char *name, *label, *status, *more;
    } expected[] = {
        {"Ann Archer", "Meeting", "Budget review (Room 4) until 10:30", ""},
        {"Ben Brook", "Meeting", "Design \"sync\" <b>A&B</b> until 11:00", "Also: Shift cover \u00b7 Note: Late start 10am"},
        {"Cara Cole", "On leave", "Annual Leave (CC)", ""},
        {"Dan Dale", "Note", "Bank Holiday", "Note: Early finish 3pm"},
        {"Eve Ek", "Free", "Available", ""},
        {"Finn Fo\uFFFD", "Unknown", "Not read yet", ""},
        {"Gus\tGray", "Note", "Night shift", "Note: Offsite\nall day"},
    };
    ASSERT_EQ(rows.size(), 7);
    for (int i = 0; i < 7; ++i) {
        const QJsonArray row = rows[i].toArray();
        EXPECT_EQ(row[0].toString(), QString::fromUtf8(expected[i].name)) << i;
        EXPECT_EQ(row[1].toString(), QString::fromUtf8(expected[i].label)) << i;
        EXPECT_EQ(row[2].toString(), QString::fromUtf8(expected[i].status)) << i;
        EXPECT_EQ(row[3].toString(), QString::fromUtf8(expected[i].more)) << i;
    }
    // Calendar text is never markup.
    EXPECT_EQ(view.js("document.querySelectorAll('#rows b').length").toInt(), 0);
    // Data read at 09:05 is 25 minutes old by the board's clock (09:30), whatever the screen's.
    EXPECT_TRUE(view.js("document.getElementById('stale').hidden").toBool());
    EXPECT_EQ(view.js("document.getElementById('dataAge').textContent").toString(), "Calendar data from 09:05");
    EXPECT_TRUE(view.js("document.getElementById('lost').hidden").toBool());
    EXPECT_EQ(view.js("document.getElementById('pageIndicator').textContent").toString(), "");

    // The clock ticks by itself.
    const QString clock = view.js("document.getElementById('clock').textContent").toString();
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(clock).hasMatch()) << clock.toStdString();
    EXPECT_TRUE(view.waitFor("document.getElementById('clock').textContent !== '" + clock + "'", 6000));
    EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "");
    EXPECT_TRUE(view.page().errors.isEmpty()) << view.page().errors.join("\n").toStdString();
}

TEST_F(WallPageBrowserTest, FreshDataFillsTheScreenAtBothSizesAndAFailedGrabRaisesTheBanner) {
    server_.setJson(freshBoard(true));
    WallView view(1280, 720);
    view.load(url("?pollMs=500"));
    ASSERT_TRUE(view.waitFor(FirstData, 20000));
    EXPECT_EQ(view.js(RowCount).toInt(), 12);
    EXPECT_TRUE(view.js("document.getElementById('stale').hidden").toBool());
    const struct {
        int width, height;
        const char* file;
    } sizes[] = {{1280, 720, "wall-1280x720.png"}, {1920, 1080, "wall-1920x1080.png"}};
    for (const auto& size : sizes) {
        view.resize(size.width, size.height);
        ASSERT_TRUE(view.waitFor("innerWidth === " + QString::number(size.width), 5000));
        view.settle(700);
        EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "") << size.file;
        // Twelve rows fill most of the screen's height in one column.
        EXPECT_GT(view.js("document.querySelector('#rows li:last-child').getBoundingClientRect().bottom / innerHeight")
                      .toDouble(), 0.75) << size.file;
        EXPECT_TRUE(view.screenshot(Artifacts / size.file)) << size.file;
    }
    // A failed grab, then data more than two hours old, each raise the banner; fresh data clears it.
    const QString stale = "document.getElementById('stale')";
    for (const std::string& json : {freshBoard(false), freshBoard(true, 0, 2 * 3600 + 120)}) {
        server_.setJson(json);
        EXPECT_TRUE(view.waitFor("!" + stale + ".hidden", 10000));
        EXPECT_TRUE(view.js("/^Calendar data from \\d\\d:\\d\\d \u2014 not current$/.test(" + stale + ".textContent)")
                        .toBool()) << view.js(stale + ".textContent").toString().toStdString();
        EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "");  // the banner took room from the rows
        server_.setJson(freshBoard(true));
        EXPECT_TRUE(view.waitFor(stale + ".hidden", 10000));
    }
    EXPECT_TRUE(view.page().errors.isEmpty()) << view.page().errors.join("\n").toStdString();
}

TEST_F(WallPageBrowserTest, EachLanguageAndThemeWithFailedRowsFreeUntilAndTimelyEnds) {
    struct Row {
        const char *asOf = "", *chip = "", *main = "", *more = "";
    };
    const struct Look {
        WallLook look;
        const char *date = "", *clock = "", *dataAge = "", *screenshot = "", *longUntil = "";
        std::vector<Row> rows = {};  // empty: labels only checked to fit
        Row afterEnd = {};           // the last row once its meeting has ended
    } looks[] = {
        {{}, "Wednesday 8 May 2024", "^09:3\\d:\\d\\d$", "Calendar data from 09:05", "wall-en-dark.png",
         " until 9 May 15:45",
         {{"", "Meeting", "Budget review (Room 4) until 10:30", ""},
          {"", "Meeting", "", ""},
          {"", "On leave", "Annual Leave (CC)", "Note: Early finish 15:00"},
          {"", "Free", "Free until 14:00", ""},
          {"", "Unknown", "Calendar unavailable: HTTP 401", ""},
          {"as of 09:05", "Meeting", "Private until 10:30", ""},
          {"", "Meeting", "Quick sync until 09:30", ""}},
         {"", "Free", "Available", ""}},
        {{"de", true, WallTheme::Light}, "Mittwoch, 8. Mai 2024", "^9:3\\d:\\d\\d AM$", "Kalenderdaten von 9:05 AM",
         "wall-de-light.png", " bis 9. Mai 3:45 PM",
         {{"", "Besprechung", "Budget review (Room 4) bis 10:30 AM", ""},
          {"", "Besprechung", "", ""},
          {"", "Urlaub", "Annual Leave (CC)", "Notiz: Early finish 15:00"},
          {"", "Frei", "Frei bis 2:00 PM", ""},
          {"", "Unbekannt", "Kalender nicht verfügbar: HTTP 401", ""},
          {"Stand 9:05 AM", "Besprechung", "Privat bis 10:30 AM", ""},
          {"", "Besprechung", "Quick sync bis 9:30 AM", ""}},
         {"", "Frei", "Verfügbar", ""}},
        {{"fr", false, WallTheme::Light}}, {{"es", true, WallTheme::Dark}}, {{"nl"}}, {{"it"}}, {{"pl"}},
        {{"pt"}}, {{"sv", false, WallTheme::Light}},
    };
    const std::string board = officeBoard();
    for (const Look& l : looks) {
        SCOPED_TRACE(l.look.language);
        server_.setPage(wallPageHtml("Tessmor Office", l.look));
        server_.setJson(board);
        WallView view(1280, 720);
        view.load(url());
        ASSERT_TRUE(view.waitFor(FirstData, 20000)) << view.page().all.join("\n").toStdString();
        const int polls = server_.jsonRequests();
        EXPECT_EQ(view.js("document.documentElement.lang").toString().toStdString(), l.look.language);
        EXPECT_EQ(view.js(ChipCut).toString().toStdString(), "");
        EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "");
        const QJsonObject low = view.jsJson(LowestContrast).toObject();
        EXPECT_GE(low["ratio"].toDouble(), 4.5) << low["where"].toString().toStdString();
        std::cout << l.look.language << ": lowest text contrast " << low["ratio"].toDouble() << " ("
                  << low["where"].toString().toStdString() << ")\n";
        // Two rows say why they are not current: the banner stays for the whole board.
        EXPECT_TRUE(view.js("document.getElementById('stale').hidden").toBool());
        EXPECT_TRUE(view.page().errors.isEmpty()) << view.page().errors.join("\n").toStdString();
        if (l.rows.empty()) continue;

        EXPECT_EQ(view.js("document.getElementById('date').textContent").toString(), QString::fromUtf8(l.date));
        const QString clock = view.js("document.getElementById('clock').textContent").toString();
        EXPECT_TRUE(QRegularExpression(l.clock).match(clock).hasMatch()) << clock.toStdString();
        EXPECT_EQ(view.js("document.getElementById('dataAge').textContent").toString(), QString::fromUtf8(l.dataAge));
        const QJsonArray rows = view.jsJson(RowTexts).toArray();
        ASSERT_EQ(rows.size(), qsizetype(l.rows.size()));
        for (std::size_t i = 0; i < l.rows.size(); ++i) {
            const QJsonArray row = rows[qsizetype(i)].toArray();
            const Row& want = l.rows[i];
            EXPECT_EQ(row[0].toString(), QString::fromUtf8(want.asOf)) << i;
            EXPECT_EQ(row[1].toString(), QString::fromUtf8(want.chip)) << i;
            if (*want.main) {
                EXPECT_EQ(row[2].toString(), QString::fromUtf8(want.main)) << i;
            }
            EXPECT_EQ(row[3].toString(), QString::fromUtf8(want.more)) << i;
        }
        // The long title is shortened; its end time (on the next day) is shown whole.
        const QString ben = "document.querySelectorAll('#rows li')[1]";
        EXPECT_EQ(view.js(ben + ".querySelector('.until').textContent").toString(), QString::fromUtf8(l.longUntil));
        EXPECT_TRUE(view.js(ben + ".querySelector('.what').scrollWidth > " + ben + ".querySelector('.what').clientWidth")
                        .toBool());
        EXPECT_TRUE(view.js(ben + ".querySelector('.until').getBoundingClientRect().right <= " + ben +
                            ".querySelector('.status').getBoundingClientRect().right + 1").toBool());
        // Seven rows fill the screen's height.
        EXPECT_GT(view.js("document.querySelector('#rows li:last-child').getBoundingClientRect().bottom / "
                          "document.getElementById('rows').getBoundingClientRect().bottom").toDouble(), 0.97);
        view.settle(300);
        EXPECT_TRUE(view.screenshot(Artifacts / l.screenshot));
        // The meeting ends: the row changes then, before the next poll.
        const QString last = "document.querySelector('#rows li:last-child')";
        ASSERT_TRUE(view.waitFor(last + ".children[1].textContent === '" + QString::fromUtf8(l.afterEnd.chip) + "'",
                                 (EndsSoonSeconds + 4) * 1000));
        EXPECT_EQ(view.js(last + ".children[2].textContent").toString(), QString::fromUtf8(l.afterEnd.main));
        EXPECT_EQ(server_.jsonRequests(), polls);
    }
}

TEST_F(WallPageBrowserTest, ThreeHundredPeopleTurnIntoColumnsAndRotatingPages) {
    server_.setJson(freshBoard(true, 288));
    WallView view(1920, 1080);
    view.load(url("?rotateMs=1000"));
    ASSERT_TRUE(view.waitFor(FirstData, 20000));
    const QString indicator = "document.getElementById('pageIndicator').textContent";
    const QString first = view.js(indicator).toString();
    const QRegularExpressionMatch pages = QRegularExpression("^Page 1 of (\\d+)$").match(first);
    ASSERT_TRUE(pages.hasMatch()) << first.toStdString();
    const int count = pages.captured(1).toInt();
    EXPECT_GE(count, 2);
    EXPECT_LE(count, 10);  // columns first: no page of a single thin column
    EXPECT_GE(view.js("getComputedStyle(document.getElementById('rows')).gridTemplateColumns.split(' ').length").toInt(), 2);
    EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "");
    const int perPage = view.js(RowCount).toInt();
    EXPECT_EQ((300 + perPage - 1) / perPage, count);
    const QString firstName = view.js("document.querySelector('#rows .name').textContent").toString();
    EXPECT_TRUE(view.waitFor(indicator + " === 'Page 2 of " + QString::number(count) + "'", 15000));
    EXPECT_NE(view.js("document.querySelector('#rows .name').textContent").toString(), firstName);
    EXPECT_EQ(view.js(RowOutside).toString().toStdString(), "");
    view.screenshot(Artifacts / "wall-300-1920x1080.png");
    EXPECT_TRUE(view.page().errors.isEmpty()) << view.page().errors.join("\n").toStdString();
}

TEST_F(WallPageBrowserTest, ConnectionLostIsShownAndClearsWhenTheBoardReturns) {
    server_.setJson(readFixture("board.json"));
    WallView view(1280, 720);
    view.load(url("?pollMs=500"));
    ASSERT_TRUE(view.waitFor(FirstData, 20000));
    const quint16 port = server_.port();
    server_.stop();
    ASSERT_TRUE(view.waitFor("!document.getElementById('lost').hidden", 15000));
    const QString lost = view.js("document.getElementById('lost').textContent").toString();
    EXPECT_TRUE(QRegularExpression("^Connection lost since \\d\\d:\\d\\d$").match(lost).hasMatch()) << lost.toStdString();
    EXPECT_EQ(view.js(RowCount).toInt(), 7);  // the last data stays
    const int requests = server_.jsonRequests();
    ASSERT_TRUE(server_.start(port));
    EXPECT_TRUE(view.waitFor("document.getElementById('lost').hidden", 15000));
    EXPECT_GT(server_.jsonRequests(), requests);
    EXPECT_EQ(view.js(RowCount).toInt(), 7);
}

// A person's own page at a phone's size (390x844): nothing wider than the screen, the presets and
// the end fill the form, and what it would post is text, until and nothing else. The wall page
// shows a free person's own status with its end and a chip saying where they are.
TEST(SelfStatusBrowserTest, OwnPageFitsAPhoneAndTheWallShowsTheStatus) {
    e2e::webEngineTestApp();
    const Instant now = instantOfUnix(std::time(nullptr));
    WallPageServer own(selfStatusPageHtml("José Alvarez", "On a site visit until 17:00", "", now));
    ASSERT_TRUE(own.start());
    WallView phone(390, 844);
    phone.load(QString("http://127.0.0.1:%1/").arg(own.port()));
    ASSERT_TRUE(phone.waitFor("document.readyState === 'complete' && document.getElementById('text')", 20000));
    EXPECT_LE(phone.js("document.documentElement.scrollWidth").toInt(), 390);
    EXPECT_EQ(phone.js("document.getElementById('now').textContent").toString(), "On a site visit until 17:00");
    // The page's own submit handler runs first; the test's then keeps the form from leaving.
    phone.js("document.getElementById('form').addEventListener('submit', function (e) { e.preventDefault();"
             " var p = new URLSearchParams(new FormData(e.target));"
             " if (e.submitter && e.submitter.name) p.append(e.submitter.name, e.submitter.value);"
             " window.posted = p.toString(); })");
    const struct {
        const char* script;
        QString posted;
    } cases[] = {
        {"document.querySelector('[data-text=\"Working from home\"]').click();", "text=Working+from+home&until=TODAYT23%3A59"},
        {"document.getElementById('time').value='17:30'; document.querySelector('[data-back]').click();",
         "text=Back+at+17%3A30&until=TODAYT17%3A30"},
        {"document.querySelector('[value=never]').checked=true; document.getElementById('text').value='Dentist';",
         "text=Dentist&until="},
        {"document.querySelector('button.clear').click(); 0;", "text=Dentist&until=&clear=1"},
    };
    const QString today = QString::fromStdString(isoLocalTime(now).substr(0, 10));
    for (const auto& c : cases) {
        phone.js("window.posted = null; document.querySelectorAll('[name=_until]').forEach(function (r) { r.disabled = false; });");
        phone.js(c.script);
        if (!QString(c.script).contains("clear")) phone.js("document.querySelector('button.set').click(); 0;");
        ASSERT_TRUE(phone.waitFor("window.posted", 5000)) << c.script;
        EXPECT_EQ(phone.js("window.posted").toString(), QString(c.posted).replace("TODAY", today)) << c.script;
    }
    EXPECT_LE(phone.js("document.documentElement.scrollWidth").toInt(), 390);
    EXPECT_TRUE(phone.page().errors.isEmpty()) << phone.page().errors.join("\n").toStdString();
    phone.js("document.getElementById('text').value = ''; document.getElementById('time').value = '';"
             " document.querySelectorAll('[name=_until]').forEach(function (r) { r.disabled = false; });"
             " document.querySelector('[value=day]').checked = true;");
    phone.settle(300);
    EXPECT_TRUE(phone.screenshot(Artifacts / "status-phone-390x844.png"));

    BoardSnapshot board;
    board.dataTime = now;
    board.lastGrabOk = true;
    board.lastGrabTime = now;
    NoteStatus own1{{"Working from home", "Working from home"}, NoteKind::Self};
    own1.end = now + std::chrono::hours(3);
    NoteStatus away{{"Out of office", "Out of office"}, NoteKind::Self};
    away.end = now + std::chrono::hours(50);  // a later day: its date is shown
    board.people = {person("Ann Example", PersonState::Free, {}, {own1}),
                    person("Ben Carter", PersonState::Free, {}, {away}),
                    person("Dana Whitfield", PersonState::Meeting, {meeting("Review", unixSeconds(now) + 600)},
                           {note("On a site visit", NoteKind::Self)})};
    WallPageServer wall(wallPageHtml("Tessmor"));
    wall.setJson(buildBoardJson(board, false, now, true));
    ASSERT_TRUE(wall.start());
    WallView view(1280, 720);
    view.load(QString("http://127.0.0.1:%1/").arg(wall.port()));
    ASSERT_TRUE(view.waitFor(FirstData, 20000));
    const QJsonArray rows = view.jsJson(
        "Array.prototype.map.call(document.querySelectorAll('#rows li'),function(r){return [r.children[1].textContent,"
        "r.children[2].children[0].textContent,r.children[2].children[1].textContent];})").toArray();
    ASSERT_EQ(rows.size(), 3);
    // An end today as hh:mm, on a later day with its date ("11 Dec 17:00").
    const auto until = [now](Instant end) {
        const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const LocalParts parts = localParts(end);
        const QString time = QString::fromStdString(localHourMinute(end));
        return sameLocalDay(end, now) ? time : QString("%1 %2 %3").arg(parts.day).arg(months[parts.month - 1]).arg(time);
    };
    EXPECT_EQ(rows[0].toArray(), (QJsonArray{"Home", "Working from home until " + until(*own1.end), ""}));
    EXPECT_EQ(rows[1].toArray(), (QJsonArray{"Away", "Out of office until " + until(*away.end), ""}));
    EXPECT_EQ(rows[2].toArray(), (QJsonArray{"Meeting", "Review until " + QString::fromStdString(localHourMinute(now + std::chrono::seconds(600))),
                                             "Note: On a site visit"}));
}

// The real program with --page wall against the demo calendar, loaded in the browser: one row per
// demo person with the state its role gives; stopped and started again, the page says the
// connection was lost and recovers by itself.
TEST(WallPageProgramTest, TheProgramsWallPageShowsTheDemoPeopleAndOutlivesARestart) {
    e2e::webEngineTestApp();
    const fs::path dir = e2e::makeRunDir("wall-program");
    e2e::DemoCalendar calendar(dir);
    ASSERT_GT(calendar.port, 0);
    const fs::path credentials =
        e2e::writeCredentials(dir, "demo\ndemo\n", fs::perms::owner_read | fs::perms::owner_write);
    const int port = e2e::freePort();
    const std::vector<std::string> args{QUORVANE_PROGRAM, "--calendar-host", calendar.host(), "--calendar-ca",
                                        (dir / "ca.pem").string(), "--credentials-file", credentials.string(),
                                        "--port", std::to_string(port), "--page", "wall", "--title", "Tessmor"};
    const std::map<std::string, std::optional<std::string>> headless{
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
    auto program = std::make_unique<e2e::Child>(args, dir, dir / "out", dir / "err", headless);
    // Rows are published as each person's calendar is read: wait for every one of them.
    const auto dataRead = [&] {
        const std::optional<e2e::HttpAnswer> data = e2e::httpGet(port, "/board.json");
        return data && data->body.find("\"state\":\"meeting\"") != std::string::npos &&
               data->body.find("\"state\":\"unknown\"") == std::string::npos;
    };
    ASSERT_TRUE(e2e::waitWhileRunning(*program, dataRead, std::chrono::seconds(60)))
        << e2e::readAll(dir / "out") << e2e::readAll(dir / "err");

    WallView view(1920, 1080);
    view.load(QString("http://127.0.0.1:%1/?pollMs=500").arg(port));
    ASSERT_TRUE(view.waitFor(FirstData, 20000)) << view.page().all.join("\n").toStdString();
    EXPECT_EQ(view.js("document.title").toString(), "Tessmor");
    ASSERT_EQ(view.js(RowCount).toInt(), 8);
    const auto chips = [&view](const char* state) {
        return view.js(QString("document.querySelectorAll('#rows .chip.%1').length").arg(state)).toInt();
    };
    EXPECT_EQ(chips("meeting"), 4);  // in a meeting, two meetings, a colleague's leave, an early finish
    EXPECT_EQ(chips("leave"), 1);
    EXPECT_EQ(chips("note"), 2);     // a bank holiday, a late start
    EXPECT_EQ(chips("free"), 1);
    EXPECT_TRUE(view.page().errors.isEmpty()) << view.page().errors.join("\n").toStdString();
    view.settle(1500);  // let the last layout paint before the picture
    view.screenshot(Artifacts / "wall-program-1920x1080.png");

    program->signal(SIGTERM);
    EXPECT_EQ(program->wait(std::chrono::seconds(10)), 0);
    ASSERT_TRUE(view.waitFor("!document.getElementById('lost').hidden", 15000));
    EXPECT_EQ(view.js(RowCount).toInt(), 8);  // the last data stays
    program = std::make_unique<e2e::Child>(args, dir, dir / "out2", dir / "err2", headless);
    EXPECT_TRUE(view.waitFor("document.getElementById('lost').hidden", 60000)) << e2e::readAll(dir / "err2");
    program->signal(SIGTERM);
    program->wait(std::chrono::seconds(10));
    fs::remove_all(dir);
}

}  // namespace
