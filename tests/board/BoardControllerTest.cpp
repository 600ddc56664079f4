// The board without a window: a whole refresh over a fake browser, served over loopback.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>

#include "board/DayViewSource.h"
#include "tests/board/ServedBoard.h"
#include "text/Text.h"
#include "tests/browser/Fakes.h"
#include "tests/webserver/ServerTestSupport.h"

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

class BoardControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLocaleFormats(FormatSettings::dayMonthYear());
        fs::create_directories(dir);
        std::ofstream(dir / "people.txt") << "\"Ann\",101,\"\"\r\n\"Bob\",102,\"J Smith\"\r\n\"Cy\",103,\"K Lee\"\r\n";
        control.planFor = [](const std::string& url) {
            return url.find("viewpub") != std::string::npos ? std::vector<int>{1, 2} : std::vector<int>{1};
        };
        const std::vector<std::string> files{"two-meetings.html", "day-events.html", "mixed.html"};
        control.pageFor = [files](const std::string& url) {
            for (int i = 0; i < 3; ++i)
                if (url.find("resultSelect=10" + std::to_string(i + 1)) != std::string::npos) return readDayPage(files[i]);
            return std::string("<BODY>Welcome</BODY>");
        };
        settings.calendarHost = "cal.test";
        settings.rosterFile = (dir / "people.txt").string();
        server.port = 0;
    }
    void TearDown() override
    {
        fs::remove_all(dir);
        setLocaleFormats(saved);
    }

    FormatSettings saved = *localeFormats();
    fs::path dir = fs::temp_directory_path() / ("quorvane-controller-" + std::to_string(getpid()));
    FakeClock clock{46362 + 10.0 / 24};  // 6 December 2026 10:00
    RecordingLog log;
    FakeBrowserControl control{clock};
    QuietHost host;
    BoardSettings settings;
    ServerSettings server;
    PageSettings pages;

    // A refresh of the controller, run to its end as the event loop would.
    void refresh(BoardController& controller)
    {
        controller.requestRefresh();
        control.runPending();
        EXPECT_FALSE(controller.refreshRunning());
    }
};

std::vector<std::string> names(const Roster& roster)
{
    std::vector<std::string> names;
    for (const Person& person : roster) names.push_back(person.name);
    return names;
}

TEST_F(BoardControllerTest, ARefreshIsServedWithTheFragmentItShows)
{
    ServedBoard served(settings, server, pages, control, log, clock, host);
    BoardController& controller = served.controller;
    const auto page = [&served] {
        const std::string answer = sendRequest(served.port(), "GET / HTTP/1.1\r\n\r\n").bytes;
        return answer.substr(answer.find("\r\n\r\n") + 4);
    };
    EXPECT_EQ(page(), boardHead());  // before the first refresh: the heading alone

    controller.start("jdoe", "pw&1");
    refresh(controller);

    const std::string fragment = readDayPage("grab-refresh-fragment.html");
    EXPECT_EQ(host.shown, fragment);
    EXPECT_EQ(control.navigations.back(), "http://127.0.0.1:" + std::to_string(served.port()) + "/");
    EXPECT_EQ(page(), boardHead() + textReplace(fragment, "%NOW", "06/12 10:00", ReplaceNone));

    // An operator's edit is served until the next refresh writes the board again.
    served.site.board().editFragment("edited");
    EXPECT_EQ(page(), boardHead() + "edited");
    refresh(controller);
    EXPECT_EQ(served.fragment(), fragment);
}

int countOf(const std::vector<std::string>& lines, const std::string& head)
{
    int count = 0;
    for (const std::string& line : lines)
        if (line.rfind(head, 0) == 0) ++count;
    return count;
}

TEST_F(BoardControllerTest, AReloadedRosterServesItsNewPersonFromTheNextRefresh)
{
    ServedBoard served(settings, server, pages, control, log, clock, host);
    BoardController& controller = served.controller;
    controller.start("jdoe", "pw");
    refresh(controller);
    std::ofstream(dir / "people.txt", std::ios::app) << "\"Dee\",104,\"\"\r\n";

    controller.reloadRoster();
    EXPECT_EQ(controller.roster().size(), 3u);  // nothing changes until a refresh starts
    refresh(controller);
    EXPECT_EQ(controller.roster().size(), 4u);
    EXPECT_NE(served.fragment().find("Dee"), std::string::npos);
    // The new roster has no day views yet: the refresh fetched every one again.
    EXPECT_EQ(countOf(log.snapshot(), "Grabbing Page for "), 3 + 4);
    EXPECT_EQ(countOf(log.snapshot(), "Roster reloaded from "), 1);
}

TEST_F(BoardControllerTest, ARosterThatFailsToLoadKeepsTheCurrentOneAndSaysWhy)
{
    const struct {
        const char* name;
        const char* content;  // nullptr: no file at all
    } cases[] = {{"missing file", nullptr},
                 {"only lines that list no one", "\"Bob\"\r\n\"Cy,103,K Lee\r\n"},
                 {"empty file", ""},
                 {"blank lines only", "\r\n\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        log.lines.clear();
        ServedBoard served(settings, server, pages, control, log, clock, host);
        BoardController& controller = served.controller;
        controller.start("jdoe", "pw");
        refresh(controller);
        if (c.content)
            std::ofstream(dir / "people.txt", std::ios::trunc) << c.content;
        else
            fs::remove(dir / "people.txt");

        controller.reloadRoster();
        refresh(controller);
        EXPECT_EQ(names(controller.roster()), (std::vector<std::string>{"Ann", "Bob", "Cy"}));
        EXPECT_EQ(countOf(log.snapshot(), "Roster not reloaded, the current one is kept: " + settings.rosterFile + ": "), 1);
        EXPECT_EQ(countOf(log.snapshot(), "Processing Meetings for "), 6);
    }
}

TEST_F(BoardControllerTest, ARosterMissingAtTheStartIsOneErrorAndNotReadyUntilOneIsRead)
{
    fs::remove(dir / "people.txt");
    ServedBoard served(settings, server, pages, control, log, clock, host);
    BoardController& controller = served.controller;
    const auto ready = [&served] {
        const std::string answer = sendRequest(served.port(), "GET /readyz HTTP/1.1\r\n\r\n").bytes;
        return answer.substr(answer.find("\r\n\r\n") + 4);
    };
    controller.start("jdoe", "pw");
    refresh(controller);
    const std::string why = "Cannot open file \"" + settings.rosterFile + "\". ";
    ASSERT_EQ(log.flagged.size(), 1u);
    EXPECT_EQ(log.flagged[0].first, LogSeverity::Error);
    EXPECT_EQ(log.flagged[0].second.rfind("Roster not read, the board lists no one: " + why, 0), 0u) << log.flagged[0].second;
    EXPECT_EQ(ready().rfind("the roster was not read, no one is listed: " + why, 0), 0u) << ready();
    for (const std::string& url : control.navigations) EXPECT_EQ(url.find("cal.test"), std::string::npos) << url;

    std::ofstream(dir / "people.txt") << "\"Ann\",101,\"\"\r\n";
    controller.reloadRoster();
    refresh(controller);
    EXPECT_EQ(names(controller.roster()), std::vector<std::string>{"Ann"});
    EXPECT_EQ(ready().find("roster"), std::string::npos) << ready();
}

TEST_F(BoardControllerTest, AReloadDuringARefreshWaitsForTheNextOne)
{
    ServedBoard served(settings, server, pages, control, log, clock, host);
    BoardController& controller = served.controller;
    controller.start("jdoe", "pw");
    log.onLog = [&](const std::string& text) {
        if (text != "Grabbing Page for Bob") return;
        std::ofstream(dir / "people.txt", std::ios::trunc) << "\"Dee\",104,\"\"\r\n";
        controller.reloadRoster();
    };
    refresh(controller);
    EXPECT_EQ(countOf(log.snapshot(), "Processing Meetings for "), 3);
    EXPECT_NE(served.fragment().find("Cy"), std::string::npos);
    refresh(controller);
    EXPECT_EQ(names(controller.roster()), std::vector<std::string>{"Dee"});
}

TEST_F(BoardControllerTest, ListensOnTheBoundAddressesOnlyAndBrowsesToOneOfThem)
{
    const struct {
        std::vector<std::string> bind;
        bool ipv4, ipv6;
        std::string pageHost;
    } cases[] = {
        {{}, true, true, "127.0.0.1"},
        {{"127.0.0.1"}, true, false, "127.0.0.1"},
        {{"::1"}, false, true, "[::1]"},
        {{"::1", "127.0.0.1"}, true, true, "127.0.0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageHost + " " + std::to_string(c.bind.size()));
        server.bindAddresses = c.bind;
        ServedBoard served(settings, server, pages, control, log, clock, host);
        const std::uint16_t port = served.port();
        ASSERT_NE(port, 0);
        EXPECT_EQ(sendRequest(port, "GET / HTTP/1.1\r\n\r\n", 2000, false).bytes.empty(), !c.ipv4);
        EXPECT_EQ(sendRequest(port, "GET / HTTP/1.1\r\n\r\n", 2000, true).bytes.empty(), !c.ipv6);
        EXPECT_EQ(served.site.pageAddress(), "http://" + c.pageHost + ":" + std::to_string(port) + "/");
    }
}

}  // namespace

namespace {

TEST_F(BoardControllerTest, WallPageServesItsDataFromTheParseAndHidesTitlesWhenAsked)
{
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide ? "titles hidden" : "titles shown");
        pages = PageSettings{true, "Floor 3", hide};
        ServedBoard served(settings, server, pages, control, log, clock, host);
        BoardController& controller = served.controller;
        controller.start("jdoe", "pw&1");
        refresh(controller);
        const auto answer = [&served](const std::string& path) {
            return sendRequest(served.port(), "GET " + path + " HTTP/1.1\r\n\r\n").bytes;
        };
        EXPECT_NE(answer("/").find("Floor 3"), std::string::npos);
        EXPECT_EQ(answer("/other").rfind("HTTP/1.1 404", 0), 0u);
        const std::string json = answer("/board.json");
        const QJsonObject ann =
            QJsonDocument::fromJson(QByteArray::fromStdString(json.substr(json.find("\r\n\r\n") + 4)))["people"][0].toObject();
        EXPECT_EQ(ann["name"].toString(), "Ann");
        EXPECT_EQ(ann["state"].toString(), "meeting") << json;
        EXPECT_NE(json.find("\"lastGrabOk\":true"), std::string::npos);
        // Ann's meetings and Bob's leave note, from the fixtures: never on either page when hidden.
        for (const std::string title : {"Budget review", "Lab meeting", "Leave - J Smith"}) {
            EXPECT_EQ(json.find(title) != std::string::npos, !hide) << title;
            EXPECT_EQ(served.fragment().find(title) != std::string::npos, !hide) << title;
        }
    }
}

}  // namespace

namespace {

std::vector<PersonState> statesOf(const SharedSnapshot& board)
{
    std::vector<PersonState> states;
    for (const PersonRow& row : board->people) states.push_back(row.status.state);
    return states;
}

}  // namespace

TEST_F(BoardControllerTest, SavedStateIsServedAtOnceFlaggedUntilAGrabSucceeds)
{
    QJsonObject saved;
    std::vector<PersonState> grabbed;
    {
        ServedBoard served(settings, server, pages, control, log, clock, host);
        served.controller.start("jdoe", "pw");
        int saves = 0;
        served.controller.onGrabTried = [&saves] { ++saves; };
        refresh(served.controller);
        refresh(served.controller);  // no grab: nothing to save again
        EXPECT_EQ(saves, 1);
        grabbed = statesOf(served.controller.board());
        // Through its bytes, as the state file keeps it.
        saved = QJsonDocument::fromJson(QJsonDocument(served.controller.saveState()).toJson()).object();
    }
    struct Case {
        const char* what;
        QJsonObject state;
        bool rowsShown;
    };
    QJsonObject unreadable = saved;
    unreadable["caches"] = QJsonObject{{"dayViews", 5}, {"calendarAddresses", "x"}};
    const std::vector<Case> cases{{"as saved", saved, true}, {"caches that do not read", unreadable, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ServedBoard served(settings, server, pages, control, log, clock, host);
        served.controller.start("jdoe", "pw");
        const std::size_t loads = control.navigations.size();
        served.controller.restoreState(c.state);
        const SharedSnapshot restored = served.controller.board();
        ASSERT_TRUE(restored);
        EXPECT_TRUE(restored->restoredFromState);
        EXPECT_FALSE(restored->lastGrabOk);
        EXPECT_EQ(restored->dataTime.has_value(), true);
        EXPECT_EQ(control.navigations.size(), loads);  // nothing fetched to show it
        if (c.rowsShown)
            EXPECT_EQ(statesOf(restored), grabbed);
        else
            EXPECT_EQ(statesOf(restored), std::vector<PersonState>(3, PersonState::Unknown));

        refresh(served.controller);
        EXPECT_FALSE(served.controller.board()->restoredFromState);
        EXPECT_TRUE(served.controller.board()->lastGrabOk);
        EXPECT_EQ(statesOf(served.controller.board()), grabbed);
    }
}

TEST_F(BoardControllerTest, WithoutCredentialsTheWebCalendarIsNotLoggedIntoAndTheLogSaysWhy)
{
    ServedBoard served(settings, server, pages, control, log, clock, host);
    served.controller.start("", "");
    refresh(served.controller);
    EXPECT_EQ(countOf(log.snapshot(), "Log-in failed: no calendar user id and password"), 1);
    for (const std::string& url : control.navigations) EXPECT_EQ(url.find("cal.test"), std::string::npos) << url;
    EXPECT_EQ(statesOf(served.controller.board()), std::vector<PersonState>(3, PersonState::Unknown));
}

TEST(WebCalendarNeedTest, OnlyDayViewPeopleOrAnEmptyRosterNeedTheLogIn)
{
    const auto roster = [](std::vector<std::string> ids) {
        Roster people;
        for (std::string& id : ids) people.push_back(Person{"N", std::move(id), "", FetchState::Pending});
        return people;
    };
    struct Case {
        std::vector<std::string> itemIds;
        bool needs;
    };
    const std::vector<Case> cases{
        {{}, true},
        {{"https://cal.example/ann.ics", "m365:ann@example.org", "google:ben@example.org"}, false},
        {{"https://cal.example/ann.ics", "1001"}, true},
        {{"m365:"}, true},  // no address after the prefix: not the cloud source's
    };
    for (const Case& c : cases) EXPECT_EQ(needsWebCalendar(roster(c.itemIds)), c.needs) << c.itemIds.size();
}
