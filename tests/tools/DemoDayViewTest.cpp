// The demo day views as the board's own day-page parser reads them: the statuses it shows around
// a pinned moment, at every minute of the day, and the failures the fault options provoke.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "pages/StatusCell.h"
#include "text/Errors.h"
#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoDayView.h"
#include "tools/democal/DemoPages.h"
#include "tests/support/DayPageProbes.h"

namespace {

class SilentLog : public LogWriter {
public:
    void log(const std::string&, bool) override {}
};

constexpr DemoDate Sunday{2026, 12, 6};
constexpr int tenAm = 10 * 60;
constexpr int LastMinute = 24 * 60 - 1;

class DemoDayViewTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = *localeFormats();
        setLocaleFormats(FormatSettings::dayMonthYear());
    }
    void TearDown() override { setLocaleFormats(saved_); }

    // The board's status for the page built at `minute`, read `laterSeconds` after it.
    static std::string statusAt(const DemoPerson& person, int minute, int laterSeconds = 0,
                              DemoFault fault = DemoFault::None) {
        std::string page = renderDayView(&person, Sunday, planDay(person, minute), fault);
        DateTime built = encodeDate(Sunday.year, Sunday.month, Sunday.day) + encodeTime(minute / 60, minute % 60, 0, 0);
        SilentLog log;
        return classicStatusHtml(
            readDayPage(page, instantOfLocal(addSeconds(built, laterSeconds)), std::string(person.leaveTag), log));
    }

    FormatSettings saved_;
};

const DemoPerson& personWith(DemoRole role) {
    for (const DemoPerson& person : demoPeople())
        if (person.role == role) return person;
    throw std::logic_error("no person plays this role");
}

}  // namespace

TEST_F(DemoDayViewTest, TheBoardShowsEveryRoleAtTen) {
    std::vector<std::string> expected{
        "Budget review (Room 4) until 11:05",
        "Project sync (Room 2) until 11:10, <small>Also: Supplier call (Phone) until 11:20</small>",
        "<small>Note: Leave - J Alvarez</small>",
        "Interview panel (Room 1) until 11:00",  // the colleague's leave is filtered out
        "<small>Note: Bank Holiday (Scotland)</small>",
        "<small>Note: Late start (dentist)</small>",
        "Code review (Room 5) until 10:30<br><small>Note: Early finish (school run)</small>",
        "",
    };
    ASSERT_EQ(demoPeople().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(statusAt(demoPeople()[i], tenAm), expected[i]) << demoPeople()[i].name;
    EXPECT_NE(renderDayView(&personWith(DemoRole::OthersLeave), Sunday, planDay(personWith(DemoRole::OthersLeave), tenAm),
                            DemoFault::None).find("Leave - J Alvarez"), std::string::npos);
}

TEST_F(DemoDayViewTest, AnHourOfTheCachedPageKeepsTheBoardMoving) {
    // Between hourly grabs the board re-reads the same page against its clock.
    EXPECT_EQ(statusAt(personWith(DemoRole::Free), tenAm, 45 * 60), "Client visit (Reception) until 11:40");
    EXPECT_EQ(statusAt(personWith(DemoRole::EarlyFinish), tenAm, 45 * 60), "<small>Note: Early finish (school run)</small>");
}

TEST_F(DemoDayViewTest, EveryMinuteOfTheDayReadsAndKeepsEachRole) {
    for (const DemoPerson& person : demoPeople()) {
        for (int minute = 0; minute <= LastMinute; ++minute) {
            SCOPED_TRACE(std::string(person.name) + " at minute " + std::to_string(minute));
            std::string status;
            ASSERT_NO_THROW(status = statusAt(person, minute, 30));
            // Half a minute after 23:59 no meeting can run; at any other moment the role shows.
            bool busy = minute < LastMinute;
            bool inMeeting = status.find(" until ") != std::string::npos;
            switch (person.role) {
            case DemoRole::InMeeting: case DemoRole::OthersLeave: case DemoRole::EarlyFinish:
                ASSERT_EQ(inMeeting, busy) << status;
                ASSERT_EQ(status.find("Also:"), std::string::npos) << status;
                break;
            case DemoRole::TwoMeetings:
                ASSERT_EQ(status.find("Also:") != std::string::npos, busy) << status;
                break;
            default:
                ASSERT_FALSE(inMeeting) << status;
            }
        }
    }
}

TEST_F(DemoDayViewTest, FaultsMakeTheBoardFailAsIntended) {
    const DemoPerson& person = personWith(DemoRole::InMeeting);
    EXPECT_THROW(statusAt(person, tenAm, 0, DemoFault::BrokenTime), ConvertError);
    EXPECT_THROW(statusAt(person, tenAm, 0, DemoFault::Unterminated), RangeError);
    // One person's day view only: every other one reads.
    for (const DemoPerson& someone : demoPeople()) {
        if (someone.itemId == DemoUnreadableItem)
            EXPECT_THROW(statusAt(someone, tenAm, 0, DemoFault::OneUnreadable), RangeError);
        else
            EXPECT_NO_THROW(statusAt(someone, tenAm, 0, DemoFault::OneUnreadable)) << someone.name;
    }
}

TEST_F(DemoDayViewTest, UnknownCalendarIsAnEmptyDayAndEchoedTextIsEscaped) {
    std::string page = renderDayView(nullptr, Sunday, {}, DemoFault::BrokenTime);
    EXPECT_EQ(countNumbered(page, "meetingNum") + countNumbered(page, "specialNum"), 0);
    EXPECT_NE(page.find("Sunday 6 December 2026"), std::string::npos);
    EXPECT_EQ(htmlEscape("<b>\"Tom & Jerry's\"</b>"), "&lt;b&gt;&quot;Tom &amp; Jerry&#39;s&quot;&lt;/b&gt;");
}

TEST_F(DemoDayViewTest, DatesReadStrictly) {
    EXPECT_EQ(parseQueryDate("2026/12/06"), (DemoDate{2026, 12, 6}));
    EXPECT_EQ(parseQueryDate("2026-12-06"), (DemoDate{2026, 12, 6}));  // a regional separator
    EXPECT_EQ(parseQueryDate("2024.02.29"), (DemoDate{2024, 2, 29}));
    for (const char* bad : {"", "2026/12/6", "2026/12-06", "2026/13/01", "2026/02/29", "1900/02/29",
                            "0000/01/01", "2026/12/32", "abcd/ef/gh", "2026/12/06x"})
        EXPECT_FALSE(parseQueryDate(bad)) << bad;
    auto moment = parseMoment("2026-12-25 23:59");
    ASSERT_TRUE(moment);
    EXPECT_EQ(moment->minute, LastMinute);
    for (const char* bad : {"2026-12-25 24:00", "2026-12-25 10:60", "2026/12/25 10:00", "2026-12-25 9:00"})
        EXPECT_FALSE(parseMoment(bad)) << bad;
    EXPECT_EQ(longDateText({2026, 12, 25}), "Friday 25 December 2026");
    EXPECT_EQ(longDateText({2000, 2, 29}), "Tuesday 29 February 2000");
}
