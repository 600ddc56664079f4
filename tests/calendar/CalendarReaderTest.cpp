// The iCalendar reader: the meetings and day events of chosen local days over the fixtures of
// tests/data/ics (recurrence, overrides, EXDATE, daylight-saving weeks, zone names), and the
// data it refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "calendar/CalendarError.h"
#include "calendar/CalendarReader.h"
#include "calendar/ParsedCalendar.h"
#include "tests/calendar/ZoneScope.h"

namespace {

std::string utc(std::int64_t seconds)
{
    const time_t t = static_cast<time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%m%dT%H%MZ", &parts);
    return text;
}

// "start-end summary" per meeting in UTC, then "[summary]" per day event.
std::string shown(const CalendarDay& day)
{
    std::string out;
    for (const CalendarMeeting& m : day.meetings) {
        out += (out.empty() ? "" : "; ") + utc(m.start) + "-" + utc(m.end) + " " + m.summary;
    }
    for (const CalendarDayEvent& e : day.dayEvents) out += (out.empty() ? "[" : "; [") + e.summary + "]";
    return out;
}

struct DayCase {
    const char* file;
    const char* zone;
    int year, month, day;
    const char* expected;
};

const DayCase DayCases[] = {
    // Weekly and monthly rules, the EXDATE with a zone, overrides moving occurrences out and in.
    {"weekly.ics", "Europe/London", 2026, 12, 7, "1207T0900Z-1207T0930Z Stand-up"},
    {"weekly.ics", "Europe/London", 2026, 12, 9, ""},
    {"weekly.ics", "Europe/London", 2026, 12, 14, ""},
    {"weekly.ics", "Europe/London", 2026, 12, 15, "1215T1400Z-1215T1430Z Stand-up moved"},
    {"weekly.ics", "Europe/London", 2026, 12, 16, "1216T1100Z-1216T1130Z Stand-up late"},
    {"weekly.ics", "Europe/London", 2026, 12, 1, "1201T1000Z-1201T1130Z Budget review; 1201T1600Z-1201T1700Z Retro"},
    {"weekly.ics", "Europe/London", 2026, 12, 8, "1208T1600Z-1208T1700Z Retro"},
    {"weekly.ics", "Europe/London", 2026, 11, 30, "1130T0900Z-1130T0930Z Stand-up; 1130T1300Z-1130T1400Z Induction"},
    // Summer time: the same 09:00 London is an hour earlier in UTC, in either board zone.
    {"weekly.ics", "Europe/London", 2026, 3, 23, "0323T0900Z-0323T0930Z Stand-up"},
    {"weekly.ics", "Europe/London", 2026, 3, 30, "0330T0800Z-0330T0830Z Stand-up"},
    {"weekly.ics", "America/New_York", 2026, 3, 30, "0330T0800Z-0330T0830Z Stand-up"},
    {"weekly.ics", "Europe/London", 2026, 4, 7, "0407T0900Z-0407T1030Z Budget review"},
    // New York from the calendar's own VTIMEZONE and from the zone database.
    {"newyork.ics", "America/New_York", 2026, 3, 2, "0302T1400Z-0302T1500Z Planning"},
    {"newyork.ics", "America/New_York", 2026, 3, 9, "0309T1300Z-0309T1400Z Planning"},
    {"newyork.ics", "America/New_York", 2026, 11, 2, "1102T1400Z-1102T1500Z Planning"},
    {"newyork.ics", "America/New_York", 2026, 3, 10, "0310T2100Z-0310T2200Z Late sync"},
    // A New York evening is the next morning in Auckland.
    {"newyork.ics", "Pacific/Auckland", 2026, 3, 11, "0310T2100Z-0310T2200Z Late sync"},
    {"newyork.ics", "Europe/London", 2026, 12, 29, "1229T2200Z-1229T2300Z Late sync"},
    // Outlook's Windows zone names; an unknown zone reads as local time.
    {"windows.ics", "UTC", 2026, 12, 7, "1207T0900Z-1207T1000Z Vendor call; 1207T1200Z-1207T1230Z Unknown zone"},
    {"windows.ics", "UTC", 2026, 6, 15, "0615T0800Z-0615T0900Z Summer call"},
    // All-day spans: DTEND exclusive, none means one day, the same dates in any board zone.
    {"allday.ics", "UTC", 2026, 12, 7,
     "[Annual leave Ann]; [Late start]; [Conference]; [Team lunch]; [Secret holiday]; [Bob leave]"},
    {"allday.ics", "Pacific/Auckland", 2026, 12, 8, "[Annual leave Ann]; [Bank holiday]"},
    {"allday.ics", "America/New_York", 2026, 12, 9, "[Annual leave Ann]"},
    {"allday.ics", "UTC", 2026, 12, 10, ""},
    // Cancelled and free entries left out; overnight and multi-day meetings overlap the day.
    {"timed.ics", "UTC", 2026, 12, 7,
     "1206T2200Z-1207T0600Z Overnight shift; 1207T0900Z-1207T1000Z Doctor; 1207T1100Z-1207T1130Z Call; "
     "1207T1300Z-1209T1700Z Offsite; 1207T1500Z-1207T1600Z Review <b>\"Q4\"</b> & plan<BR>"},
    {"timed.ics", "America/New_York", 2026, 12, 8, "1207T1300Z-1209T1700Z Offsite"},
    // Floating times are local ones.
    {"timed.ics", "Europe/Berlin", 2026, 12, 7,
     "1206T2200Z-1207T0600Z Overnight shift; 1207T0900Z-1207T1000Z Doctor; 1207T1000Z-1207T1030Z Call; "
     "1207T1300Z-1209T1700Z Offsite; 1207T1500Z-1207T1600Z Review <b>\"Q4\"</b> & plan<BR>"},
    // Rules that never produce an occurrence, a long COUNT, an event without a start.
    {"never.ics", "UTC", 2026, 12, 7, "1207T0900Z-1207T1000Z Endless count; 1207T1000Z-1207T1100Z Still here"},
};

TEST(CalendarReader, DaysOfFixtures)
{
    for (const DayCase& c : DayCases) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(shown(readCalendarDay(readIcs(c.file), c.year, c.month, c.day)), c.expected)
            << c.file << " " << c.year << "-" << c.month << "-" << c.day << " in " << c.zone;
        // Read for the dates around the day only, as the board reads: the same day.
        const ParsedCalendar kept = ParsedCalendar::parse(readIcs(c.file), KeptDates::around(c.year, c.month, c.day));
        EXPECT_EQ(shown(kept.day(c.year, c.month, c.day)), c.expected) << c.file << " kept for the day";
    }
}

TEST(CalendarReader, FlagsAndWarnings)
{
    ZoneScope zone("UTC");
    const CalendarDay allDay = readCalendarDay(readIcs("allday.ics"), 2026, 12, 7);
    ASSERT_EQ(allDay.dayEvents.size(), 6u);
    EXPECT_TRUE(allDay.dayEvents[2].outOfOffice);
    EXPECT_TRUE(allDay.dayEvents[4].isPrivate);
    const CalendarDay timed = readCalendarDay(readIcs("timed.ics"), 2026, 12, 7);
    EXPECT_TRUE(timed.meetings[1].isPrivate);
    EXPECT_EQ(timed.meetings[1].location, "Clinic");

    const auto begun = std::chrono::steady_clock::now();
    const CalendarDay never = readCalendarDay(readIcs("never.ics"), 2026, 12, 7);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(500));
    ASSERT_EQ(never.warnings.size(), 4u);
    EXPECT_EQ(never.warnings[0], "event without a readable DTSTART: Broken start");
    EXPECT_EQ(never.warnings[1].rfind("recurrence rule that never produces an occurrence: FREQ=MONTHLY", 0), 0u);
    EXPECT_EQ(never.warnings[2].rfind("recurrence rule that never produces an occurrence: FREQ=MINUTELY", 0), 0u);
    EXPECT_EQ(never.warnings[3].rfind("recurrence rule not expanded: FREQ=MINUTELY", 0), 0u);
    EXPECT_EQ(readCalendarDay(readIcs("windows.ics"), 2026, 12, 7).warnings,
              std::vector<std::string>{"unknown time zone read as local time: Nowhere Standard Time"});
}

TEST(CalendarReader, SeveralCalendars)
{
    ZoneScope zone("UTC");
    const std::string expected = "1207T0900Z-1207T1000Z Vendor call; 1207T1200Z-1207T1230Z Unknown zone; "
                                 "[Annual leave Ann]; [Late start]; [Conference]; [Team lunch]; [Secret holiday]; "
                                 "[Bob leave]";
    EXPECT_EQ(shown(readCalendarDay(readIcs("windows.ics") + readIcs("allday.ics"), 2026, 12, 7)), expected);
    EXPECT_EQ(shown(readCalendarDay({readIcs("windows.ics"), readIcs("allday.ics")}, 2026, 12, 7)), expected);
}

TEST(CalendarReader, DayIsKeptPerDateAndZone)
{
    const ParsedCalendar calendar = ParsedCalendar::parse(readIcs("timed.ics"));
    ZoneScope zone("UTC");
    EXPECT_EQ(calendar.day(2026, 12, 8).meetings.size(), 1u);
    EXPECT_EQ(calendar.day(2026, 12, 7).meetings.size(), 5u);
    ZoneScope auckland("Pacific/Auckland");
    // 7 December in Auckland ends at 11:00 UTC; the floating call is at 11:00 Auckland time.
    EXPECT_EQ(calendar.day(2026, 12, 7).meetings.size(), 3u);
}

TEST(CalendarReader, RefusedData)
{
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {readIcs("not-ical.html"), "not iCalendar data"},
        {"", "not iCalendar data"},
        {std::string("\x00\x01garbage", 9), "not iCalendar data"},
        {readIcs("truncated.ics"), "unreadable data: no complete VCALENDAR"},
        {readIcs("allday.ics") + readIcs("truncated.ics"), "unreadable data: no complete VCALENDAR"},
        {"BEGIN:VCALENDAR\r\nEND:VEVENT\r\n", "unreadable data: no complete VCALENDAR"},
    };
    for (const auto& c : cases) {
        try {
            readCalendarDay(c.text, 2026, 12, 7);
            ADD_FAILURE() << c.reason;
        } catch (const CalendarError& e) {
            EXPECT_STREQ(e.what(), c.reason);
        }
    }
}

}  // namespace
