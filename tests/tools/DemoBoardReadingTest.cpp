// The demo day views as the board's own day-page parser reads them: the statuses the board
// shows for a pinned moment, and the failures the fault options are meant to provoke.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "text/DateTime.h"
#include "text/Errors.h"
#include "tools/democal/DemoDayView.h"

namespace {

class SilentLog : public TLogWriter {
public:
    void Log(const std::string&, bool) override {}
};

constexpr DemoDate Sunday{2026, 12, 6};

class DemoBoardReadingTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = *LocaleFormats();
        SetLocaleFormats(TFormatSettings::DayMonthYear());
    }
    void TearDown() override { SetLocaleFormats(saved_); }

    // The status the board composes for the person's page built at `minute` and read at the
    // same moment plus `laterSeconds`.
    static std::string Status(const DemoPerson& person, int minute, DemoFault fault = DemoFault::None,
                              int laterSeconds = 0) {
        std::string page = RenderDayView(&person, Sunday, PlanDay(person, minute), fault);
        TDateTime now = AddSeconds(EncodeDate(Sunday.Year, Sunday.Month, Sunday.Day) +
                                       EncodeTime(minute / 60, minute % 60, 0, 0),
                                   laterSeconds);
        std::string status;
        SilentLog log;
        ParseDayPage(page, now, std::string(person.LeaveTag), status, log);
        return status;
    }

    TFormatSettings saved_;
};

}  // namespace

TEST_F(DemoBoardReadingTest, TheBoardShowsEveryRoleAtTen) {
    std::vector<std::string> expected{
        "Budget review (Room 4) until 11:05",
        "Project sync (Room 2) until 11:10, <small>Also: Supplier call (Phone) until 11:20</small>",
        "<small>Note: Leave - J Alvarez</small>",
        "Interview panel (Room 1) until 11:00",
        "<small>Note: Bank Holiday (Scotland)</small>",
        "<small>Note: Late start (dentist)</small>",
        "Code review (Room 5) until 10:30<br><small>Note: Early finish (school run)</small>",
        "",
    };
    ASSERT_EQ(DemoPeople().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Status(DemoPeople()[i], 10 * 60), expected[i]) << DemoPeople()[i].Name;
}

TEST_F(DemoBoardReadingTest, AnHourOfCachedPageKeepsTheBoardAlive) {
    // The board grabs hourly and re-reads the cached page in between: 40 minutes on, the free
    // person's next meeting has begun and the short one has ended.
    const auto& people = DemoPeople();
    EXPECT_EQ(Status(people[7], 10 * 60, DemoFault::None, 45 * 60), "Client visit (Reception) until 11:40");
    EXPECT_EQ(Status(people[6], 10 * 60, DemoFault::None, 45 * 60), "<small>Note: Early finish (school run)</small>");
    EXPECT_EQ(Status(people[1], 10 * 60, DemoFault::None, 59 * 60),
              "Project sync (Room 2) until 11:10, <small>Also: Supplier call (Phone) until 11:20</small>");
}

TEST_F(DemoBoardReadingTest, NearMidnightMeetingsStillRead) {
    for (int minute : {0, 1, 29, 1410, 1438}) {
        EXPECT_EQ(Status(DemoPeople()[0], minute, DemoFault::None, 30).rfind("Budget review (Room 4) until ", 0), 0u)
            << minute;
        EXPECT_EQ(Status(DemoPeople()[7], minute, DemoFault::None, 30), "") << minute;
    }
}

TEST_F(DemoBoardReadingTest, FaultsMakeTheBoardFailAsIntended) {
    const DemoPerson& person = DemoPeople()[0];
    EXPECT_THROW(Status(person, 10 * 60, DemoFault::BrokenTime), EConvertError);
    EXPECT_THROW(Status(person, 10 * 60, DemoFault::Unterminated), ERangeError);
}
