// Calendars made to cost or to break the reader: the work and memory per person stay bounded,
// series far from their start still show, and one bad event or item costs only itself.
#include <gtest/gtest.h>

#include <ctime>

#include "calendar/CalendarError.h"
#include "calendar/ParsedCalendar.h"
#include "tests/calendar/ZoneScope.h"

namespace {

std::string event(const std::string& uid, const std::string& start, const std::string& rest)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART:" + start + "\r\n" + rest + "END:VEVENT\r\n";
}

std::string calendar(const std::string& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quorvane tests//EN\r\n" + events + "END:VCALENDAR\r\n";
}

std::string numbers(int count)
{
    std::string out;
    for (int n = 0; n < count; ++n) out += (n == 0 ? "" : ",") + std::to_string(n);
    return out;
}

std::string series(const std::string& start, const std::string& rule, int copies = 1)
{
    std::string events;
    for (int n = 0; n < copies; ++n) {
        events += event("s" + std::to_string(n), start, "DURATION:PT1H\r\nSUMMARY:Series\r\nRRULE:" + rule + "\r\n");
    }
    return calendar(events);
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// One line per warning, to compare with the expected first words.
std::string firstWarning(const CalendarDay& day)
{
    return day.warnings.empty() ? "" : day.warnings.front();
}

TEST(HostileCalendar, ExpansionIsBounded)
{
    ZoneScope zone("UTC");
    const struct {
        std::string text;
        std::size_t meetings;
        const char* warning;  // the first warning begins so
    } cases[] = {
        // Occurrences less than a minute apart: refused, the first occurrence alone shown.
        {series("20261207T080000Z", "FREQ=MINUTELY;BYSECOND=" + numbers(60)), 1,
         "recurrence rule not expanded (occurrences less than a minute apart): FREQ=MINUTELY"},
        {series("20261207T080000Z", "FREQ=HOURLY;BYMINUTE=" + numbers(60) + ";BYSECOND=" + numbers(60)), 1,
         "recurrence rule not expanded (occurrences less than a minute apart): FREQ=HOURLY"},
        {series("20261207T080000Z", "FREQ=DAILY;BYHOUR=9;BYMINUTE=0;BYSECOND=0,30"), 1,
         "recurrence rule not expanded (occurrences less than a minute apart)"},
        {series("20261207T080000Z", "FREQ=SECONDLY"), 1, "recurrence rule not expanded: FREQ=SECONDLY"},
        // One a minute is allowed; the day keeps the first 500 meetings.
        {series("20261207T080000Z", "FREQ=MINUTELY;BYSECOND=0"), 500,
         "more than 500 meetings on the day: the first 500 by start kept"},
        // Thousands of minutely series (unbounded, over a minute) spend the day's budget, then stop.
        {series("20261201T080000Z", "FREQ=MINUTELY", 2000), 500,
         "recurrence rules left unexpanded: the day's expansion budget is spent"},
        // One a minute all day, 1,440 of them: within the budget, cut to 500.
        {series("20261207T000000Z", "FREQ=HOURLY;BYMINUTE=" + numbers(60)), 500, "more than 500 meetings"},
    };
    for (const auto& c : cases) {
        // CPU time, with room for a sanitizer build: unbounded, the worst case takes minutes.
        const std::clock_t begun = std::clock();
        const CalendarDay day = ParsedCalendar::parse(c.text).day(2026, 12, 7);
        EXPECT_LT(std::clock() - begun, 5 * CLOCKS_PER_SEC) << c.warning;
        EXPECT_EQ(day.meetings.size(), c.meetings) << c.warning;
        EXPECT_TRUE(startsWith(firstWarning(day), c.warning)) << firstWarning(day);
        EXPECT_LE(day.warnings.size(), 3u);
    }
}

TEST(HostileCalendar, CountSeriesShowFarFromTheirStart)
{
    ZoneScope zone("UTC");
    const struct {
        const char* start;
        const char* rule;
        std::size_t meetings;  // on 7 December 2026
        const char* warning;
    } cases[] = {
        // About 25,000 hourly steps from the start: computed, not walked.
        {"20240101T000000Z", "FREQ=HOURLY;COUNT=30000", 24, ""},
        {"20240101T000000Z", "FREQ=HOURLY;COUNT=20000", 0, ""},
        // The last occurrence exactly on the day: 10:00, eleven of them from midnight.
        {"20261206T100000Z", "FREQ=HOURLY;COUNT=25", 11, ""},
        {"20261206T100000Z", "FREQ=HOURLY;COUNT=24", 10, ""},
        {"19000107T090000Z", "FREQ=MONTHLY;COUNT=2000", 1, ""},
        {"19000101T090000Z", "FREQ=DAILY;BYHOUR=9;COUNT=100000", 0, "recurrence rule stopped after too many steps"},
        {"20221207T090000Z", "FREQ=YEARLY;COUNT=5", 1, ""},
        {"20221207T090000Z", "FREQ=YEARLY;COUNT=4", 0, ""},
        {"19500102T090000Z", "FREQ=DAILY;INTERVAL=7;COUNT=10000", 1, ""},  // a Monday, as 7 Dec 2026
        // Rules with parts are walked, and say so when the walk is too long.
        {"19500102T090000Z", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;COUNT=100000", 0,
         "recurrence rule stopped after too many steps: FREQ=WEEKLY;COUNT=100000;BYDAY=MO,TU,WE,TH,FR"},
    };
    for (const auto& c : cases) {
        const std::string text = calendar(event("c", c.start, "DURATION:PT30M\r\nSUMMARY:Count\r\nRRULE:" + std::string(c.rule) + "\r\n"));
        for (const bool kept : {false, true}) {
            const ParsedCalendar parsed = kept ? ParsedCalendar::parse(text, KeptDates::around(2026, 12, 7))
                                               : ParsedCalendar::parse(text);
            const CalendarDay day = parsed.day(2026, 12, 7);
            EXPECT_EQ(day.meetings.size(), c.meetings) << c.rule << (kept ? " kept" : "");
            EXPECT_EQ(firstWarning(day).substr(0, std::string(c.warning).size()), c.warning) << c.rule;
        }
    }
}

TEST(HostileCalendar, KeptDatesHoldOnlyWhatTouchesThem)
{
    ZoneScope zone("UTC");
    std::string events;
    for (int n = 0; n < 2000; ++n) {  // other days of 2025, not kept
        events += event("o" + std::to_string(n), "20250301T090000Z", "DTEND:20250301T100000Z\r\nSUMMARY:Old\r\n");
    }
    events += event("now", "20261207T090000Z", "DTEND:20261207T100000Z\r\nSUMMARY:Now\r\n");
    events += event("long", "20261101", "DTEND;VALUE=DATE:20270101\r\nSUMMARY:Long leave\r\n");
    events += event("w", "20200106T120000Z", "DURATION:PT1H\r\nSUMMARY:Weekly\r\nRRULE:FREQ=WEEKLY\r\n");
    events += event("w", "20261207T150000Z", "DURATION:PT1H\r\nSUMMARY:Weekly moved\r\nRECURRENCE-ID:20261207T120000Z\r\n");
    events += event("ended", "20200106T120000Z", "DURATION:PT1H\r\nSUMMARY:Ended\r\nRRULE:FREQ=DAILY;UNTIL=20250101T000000Z\r\n");
    events += event("counted", "20200106T120000Z", "DURATION:PT1H\r\nSUMMARY:Counted\r\nRRULE:FREQ=DAILY;COUNT=30\r\n");
    events += event("later", "20270106T120000Z", "DURATION:PT1H\r\nSUMMARY:Later\r\nRRULE:FREQ=DAILY\r\n");
    const std::string text = calendar(events);

    const ParsedCalendar whole = ParsedCalendar::parse(text);
    const ParsedCalendar kept = ParsedCalendar::parse(text, KeptDates::around(2026, 12, 7));
    EXPECT_EQ(whole.eventCount(), 2007u);
    EXPECT_EQ(kept.eventCount(), 4u);  // now, long leave, the weekly series and its override
    for (int day = 5; day <= 9; ++day) {
        EXPECT_EQ(kept.day(2026, 12, day).meetings, whole.day(2026, 12, day).meetings) << day;
        EXPECT_EQ(kept.day(2026, 12, day).dayEvents, whole.day(2026, 12, day).dayEvents) << day;
    }
    EXPECT_EQ(kept.day(2026, 12, 7).meetings.size(), 2u);  // Now, Weekly moved
    EXPECT_EQ(kept.day(2026, 12, 10).warnings,
              std::vector<std::string>{"day outside the dates the calendar was kept for: 2026-12-10"});

    // No more than 20,000 events are read around the dates, the rest with one warning.
    std::string many;
    for (int n = 0; n < 20010; ++n) many += event("m" + std::to_string(n), "20261207T090000Z", "DURATION:PT1H\r\n");
    const ParsedCalendar capped = ParsedCalendar::parse(calendar(many), KeptDates::around(2026, 12, 7));
    EXPECT_EQ(capped.eventCount(), 20000u);
    EXPECT_EQ(capped.day(2026, 12, 7).warnings.front(), "more than 20000 events around the dates shown: the rest not read");
}

TEST(HostileCalendar, OneBadEventOrItemCostsOnlyItself)
{
    ZoneScope zone("UTC");
    const std::string good = calendar(event("g", "20261207T090000Z", "DURATION:PT1H\r\nSUMMARY:Good\r\n"));
    const std::string nul = calendar(event("n", "20261207T100000Z", std::string("DURATION:PT1H\r\nSUMMARY:Bad\0byte\r\n", 33)) +
                                     event("k", "20261207T110000Z", "DURATION:PT1H\r\nSUMMARY:Kept\r\n"));
    const struct {
        std::vector<std::string> items;
        std::vector<const char*> summaries;
        const char* warning;
    } cases[] = {
        {{good, "<html>error</html>"}, {"Good"}, "calendar item skipped: not iCalendar data"},
        {{"<html>error</html>", good}, {"Good"}, "calendar item skipped: not iCalendar data"},
        {{good, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"}, {"Good"},
         "calendar item skipped: unreadable data: no complete VCALENDAR"},
        {{nul}, {"Kept"}, "event with a NUL byte skipped, at line 4"},
        {{good, nul}, {"Good", "Kept"}, "event with a NUL byte skipped, at line 4"},
    };
    for (const auto& c : cases) {
        for (const bool kept : {false, true}) {
            const CalendarDay day = (kept ? ParsedCalendar::parse(c.items, KeptDates::around(2026, 12, 7))
                                          : ParsedCalendar::parse(c.items)).day(2026, 12, 7);
            ASSERT_EQ(day.meetings.size(), c.summaries.size()) << c.warning;
            for (std::size_t i = 0; i < c.summaries.size(); ++i) EXPECT_EQ(day.meetings[i].summary, c.summaries[i]);
            EXPECT_EQ(day.warnings, std::vector<std::string>{c.warning});
        }
    }
    // Every item unreadable: the first one's error, as for one text.
    EXPECT_THROW(ParsedCalendar::parse(std::vector<std::string>{"x", "y"}), CalendarError);
}

}  // namespace
