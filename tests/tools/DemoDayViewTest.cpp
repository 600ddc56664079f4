// The demo day views: what the board will find in them around a given minute, and the dates.
#include <gtest/gtest.h>

#include "tests/tools/DayMarkup.h"
#include "tools/democal/DemoDayView.h"
#include "tools/democal/DemoPages.h"

namespace {

constexpr DemoDate Sunday{2026, 12, 6};
constexpr int TenAm = 10 * 60;

const DemoPerson& Person(DemoRole role) {
    for (const DemoPerson& person : DemoPeople())
        if (person.Role == role) return person;
    throw std::logic_error("no person plays this role");
}

std::string Page(DemoRole role, int minute, DemoFault fault = DemoFault::None) {
    const DemoPerson& person = Person(role);
    return RenderDayView(&person, Sunday, PlanDay(person, minute), fault);
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Meetings the board would show as in progress for each role.
int ExpectedInProgress(DemoRole role) {
    switch (role) {
    case DemoRole::InMeeting: case DemoRole::OthersLeave: case DemoRole::EarlyFinish: return 1;
    case DemoRole::TwoMeetings: return 2;
    default: return 0;
    }
}

}  // namespace

TEST(DemoDayViewTest, EveryRoleShowsItsStateAtTenInTheMorning) {
    auto meetings = [](DemoRole role) { return MeetingsIn(Page(role, TenAm)); };
    auto events = [](DemoRole role) { return DayEventsIn(Page(role, TenAm)); };

    auto ann = meetings(DemoRole::InMeeting);
    ASSERT_EQ(ann.size(), 2u);
    EXPECT_EQ(ann[1].Range, "09:30 - 11:05");
    EXPECT_EQ(ann[1].Description, "Budget review<BR> (Room 4)");
    EXPECT_EQ(InProgressAt(ann, TenAm), 1);
    EXPECT_EQ(InProgressAt(meetings(DemoRole::TwoMeetings), TenAm), 2);

    const DemoPerson& onLeave = Person(DemoRole::OnLeave);
    EXPECT_EQ(events(DemoRole::OnLeave), std::vector<std::string>{"Leave - " + std::string(onLeave.LeaveTag)});

    // The manager's page carries the colleague's leave, which must not name the manager.
    auto managerEvents = events(DemoRole::OthersLeave);
    ASSERT_EQ(managerEvents.size(), 2u);
    EXPECT_TRUE(Contains(managerEvents[0], "Leave"));
    EXPECT_TRUE(Contains(managerEvents[0], onLeave.LeaveTag));
    EXPECT_FALSE(Contains(managerEvents[0], Person(DemoRole::OthersLeave).LeaveTag));
    EXPECT_EQ(managerEvents[1], "Team lunch");

    EXPECT_EQ(events(DemoRole::BankHoliday), std::vector<std::string>{"Bank Holiday (Scotland)"});
    EXPECT_EQ(events(DemoRole::LateStart), std::vector<std::string>{"Late start (dentist)"});
    EXPECT_EQ(events(DemoRole::EarlyFinish), std::vector<std::string>{"Early finish (school run)"});
    EXPECT_EQ(InProgressAt(meetings(DemoRole::LateStart), TenAm), 0);

    auto free = meetings(DemoRole::Free);
    EXPECT_EQ(free.size(), 2u);
    EXPECT_EQ(InProgressAt(free, TenAm), 0);
    EXPECT_TRUE(events(DemoRole::Free).empty());
}

TEST(DemoDayViewTest, EveryMinuteOfTheDayGivesReadableSameDayMeetings) {
    for (const DemoPerson& person : DemoPeople()) {
        for (int minute = 0; minute < 24 * 60; ++minute) {
            std::string page = RenderDayView(&person, Sunday, PlanDay(person, minute), DemoFault::None);
            auto meetings = MeetingsIn(page);
            SCOPED_TRACE(std::string(person.Name) + " at minute " + std::to_string(minute));
            for (const SeenMeeting& m : meetings) {
                ASSERT_GE(m.Start, 0) << m.Range;
                ASSERT_GT(m.End, m.Start) << m.Range;
            }
            // Half a minute after 23:59 no meeting can still run; every other moment shows the
            // role's meetings, and never a meeting that is meant to be over or not yet begun.
            int expected = minute == 24 * 60 - 1 ? 0 : ExpectedInProgress(person.Role);
            ASSERT_EQ(InProgressAt(meetings, minute), expected);
        }
    }
}

TEST(DemoDayViewTest, BlocksStayWithinWhatTheBoardReads) {
    for (const DemoPerson& person : DemoPeople()) {
        std::string page = RenderDayView(&person, Sunday, PlanDay(person, TenAm), DemoFault::None);
        for (int r = 1; r <= CountMarkers(page, "specialNum"); ++r) {
            std::string block = Block(page, "specialNum", r);
            ASSERT_FALSE(block.empty());
            EXPECT_LT(block.size(), 1014u) << block;
            EXPECT_FALSE(Contains(block.substr(0, 14), "-1>"));
        }
        // Fewer than ten of each, so "meetingNum1" never also matches a tenth marker.
        EXPECT_LT(CountMarkers(page, "meetingNum"), 10);
        EXPECT_FALSE(Contains(page, "meetingNum0"));
    }
}

TEST(DemoDayViewTest, FaultsBreakExactlyOneMeeting) {
    auto broken = MeetingsIn(Page(DemoRole::InMeeting, TenAm, DemoFault::BrokenTime));
    ASSERT_EQ(broken.size(), 3u);
    EXPECT_EQ(broken[2].Start, -1);
    EXPECT_EQ(broken[2].Range.find(" - "), std::string::npos);

    std::string unterminated = Page(DemoRole::BankHoliday, TenAm, DemoFault::Unterminated);
    ASSERT_EQ(CountMarkers(unterminated, "meetingNum"), 1);
    EXPECT_TRUE(Block(unterminated, "meetingNum", 1).empty());
    EXPECT_FALSE(Block(unterminated, "specialNum", 1).empty());
}

TEST(DemoDayViewTest, UnknownCalendarIsAnEmptyDayWithEscapedText) {
    std::string page = RenderDayView(nullptr, Sunday, {}, DemoFault::BrokenTime);
    EXPECT_FALSE(Contains(page, "meetingNum"));
    EXPECT_FALSE(Contains(page, "specialNum"));
    EXPECT_TRUE(Contains(page, "Sunday 6 December 2026"));

    EXPECT_EQ(HtmlEscape("<b>\"Tom & Jerry's\"</b>"), "&lt;b&gt;&quot;Tom &amp; Jerry&#39;s&quot;&lt;/b&gt;");
    EXPECT_FALSE(Contains(MessagePage("x", "<script>"), "<script>"));
    EXPECT_TRUE(Contains(RedirectPage("/a?b=1&c=\"2\""), "content=\"0;url=/a?b=1&amp;c=&quot;2&quot;\""));
}

TEST(DemoDayViewTest, DatesReadStrictly) {
    EXPECT_EQ(ParseQueryDate("2026/12/06"), (DemoDate{2026, 12, 6}));
    EXPECT_EQ(ParseQueryDate("2026-12-06"), (DemoDate{2026, 12, 6}));
    EXPECT_EQ(ParseQueryDate("2026.12.06"), (DemoDate{2026, 12, 6}));
    EXPECT_EQ(ParseQueryDate("2024/02/29"), (DemoDate{2024, 2, 29}));
    for (const char* bad : {"", "2026/12/6", "2026/12-06", "2026/13/01", "2026/00/10", "2026/02/29",
                            "1900/02/29", "0000/01/01", "2026/12/32", "abcd/ef/gh", "2026/12/06x", "+026/12/06"})
        EXPECT_FALSE(ParseQueryDate(bad)) << bad;

    auto moment = ParseMoment("2026-12-25 23:59");
    ASSERT_TRUE(moment);
    EXPECT_EQ(moment->Date, (DemoDate{2026, 12, 25}));
    EXPECT_EQ(moment->Minute, 23 * 60 + 59);
    for (const char* bad : {"2026-12-25 24:00", "2026-12-25 10:60", "2026/12/25 10:00", "2026-12-25T10:00", "2026-12-25 9:00"})
        EXPECT_FALSE(ParseMoment(bad)) << bad;

    EXPECT_EQ(LongDateText({2026, 12, 25}), "Friday 25 December 2026");
    EXPECT_EQ(LongDateText({2000, 2, 29}), "Tuesday 29 February 2000");
    EXPECT_EQ(QueryDateText({33, 1, 2}), "0033/01/02");
    EXPECT_EQ(ClockText(0), "00:00");
    EXPECT_EQ(ClockText(23 * 60 + 59), "23:59");
}
