// The wall page's data for the demo people, read from the demo calendar's own day views at two
// moments of the day; with titles hidden, no demo title reaches either page. The classic page for
// the same people and moments is byte for byte the stored copy (tests/data/daypages/demo-classic.txt).
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <fstream>
#include <sstream>

#include "tests/board/ServedBoard.h"
#include "tests/browser/Fakes.h"
#include "tests/webserver/ServerTestSupport.h"
#include "tools/democal/DemoDayView.h"
#include "tools/democal/DemoPeople.h"

namespace {

class WallDataDemoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setLocaleFormats(FormatSettings::dayMonthYear());
        // Each day view as the demo calendar draws it for the fake clock's minute.
        control.planFor = [](const std::string& url) {
            return url.find("viewpub") != std::string::npos ? std::vector<int>{1, 2} : std::vector<int>{1};
        };
        control.pageFor = [this](const std::string& url) {
            const std::size_t at = url.find("resultSelect=");
            if (at == std::string::npos) return std::string("<BODY>Welcome</BODY>");
            const std::size_t from = at + std::string_view("resultSelect=").size();
            const DemoPerson* person = findDemoPerson(url.substr(from, url.find('/', from) - from));
            const DateTimeParts now = decodeDateTime(clock.value);
            return renderDayView(person, DemoDate{2026, 12, 7}, planDay(*person, now.hour * 60 + now.minute),
                                 DemoFault::None);
        };
        settings.calendarHost = "cal.test";
        settings.rosterFile = QUORVANE_DEMO_PEOPLE;
        server.port = 0;
    }
    std::string json(ServedBoard& board) const
    {
        const std::string answer = sendRequest(board.port(), "GET /board.json HTTP/1.1\r\n\r\n").bytes;
        return answer.substr(answer.find("\r\n\r\n") + 4);
    }
    static std::string stateOfPerson(const std::string& json, std::string_view name)
    {
        const QJsonArray people = QJsonDocument::fromJson(QByteArray::fromStdString(json))["people"].toArray();
        for (const QJsonValue& person : people)
            if (person["name"].toString().toStdString() == name) return person["state"].toString().toStdString();
        return "?";
    }

    FakeClock clock{encodeDate(2026, 12, 7) + encodeTime(10, 0, 0, 0)};
    RecordingLog log;
    FakeBrowserControl control{clock};
    QuietHost host;
    BoardSettings settings;
    ServerSettings server;
    PageSettings pages;
};

TEST_F(WallDataDemoTest, EveryRoleHasItsStateAtTwoMomentsAndHiddenTitlesNeverLeak)
{
    const std::map<DemoRole, std::string> expected{
        {DemoRole::InMeeting, "meeting"}, {DemoRole::TwoMeetings, "meeting"}, {DemoRole::OnLeave, "leave"},
        {DemoRole::OthersLeave, "meeting"}, {DemoRole::BankHoliday, "note"}, {DemoRole::LateStart, "note"},
        {DemoRole::EarlyFinish, "meeting"}, {DemoRole::Free, "free"}};
    for (const bool hide : {false, true}) {
        pages = PageSettings{true, "", hide};
        ServedBoard board(settings, server, pages, control, log, clock, host);
        board.controller.start("demo", "demo");
        for (const double hour : {10.0, 15.5}) {
            SCOPED_TRACE((hide ? "hidden, " : "shown, ") + std::to_string(static_cast<int>(hour * 60)));
            clock.value = encodeDate(2026, 12, 7) + hour / 24;
            host.forceGrab = true;
            board.controller.requestRefresh();
            control.runPending();
            const std::string data = json(board);
            for (const DemoPerson& person : demoPeople())
                EXPECT_EQ(stateOfPerson(data, person.name), expected.at(person.role)) << person.name << "\n" << data;
            // Every text the demo calendar could show, at this moment, on neither page.
            for (const DemoPerson& person : demoPeople()) {
                const DemoDayPlan plan = planDay(person, static_cast<int>(hour * 60));
                std::vector<std::string> titles(plan.dayEvents);
                for (const DemoMeeting& meeting : plan.meetings) titles.push_back(meeting.description);
                for (const std::string& title : titles) {
                    if (!hide) continue;
                    EXPECT_EQ(data.find(title), std::string::npos) << title;
                    EXPECT_EQ(board.fragment().find(title), std::string::npos) << title;
                }
            }
        }
    }
}

TEST_F(WallDataDemoTest, ClassicPageIsTheStoredCopy)
{
    std::string shown;
    for (const bool hide : {false, true}) {
        pages = PageSettings{false, "", hide};
        ServedBoard board(settings, server, pages, control, log, clock, host);
        board.controller.start("demo", "demo");
        for (const double hour : {10.0, 15.5}) {
            clock.value = encodeDate(2026, 12, 7) + hour / 24;
            host.forceGrab = true;
            board.controller.requestRefresh();
            control.runPending();
            shown += "== " + std::string(hide ? "hidden " : "shown ") + std::to_string(static_cast<int>(hour * 60)) + "\n";
            const std::string answer = sendRequest(board.port(), "GET / HTTP/1.1\r\n\r\n").bytes;
            shown += answer.substr(answer.find("\r\n\r\n") + 4) + "\n";
        }
    }
    std::ostringstream stored;
    stored << std::ifstream(std::string(QUORVANE_TEST_DATA) + "/daypages/demo-classic.txt", std::ios::binary).rdbuf();
    EXPECT_EQ(shown, stored.str());
}

}  // namespace
