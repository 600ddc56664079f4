// Statuses composed from iCalendar days (tests/data/ics): the day views' rules for meetings in
// progress, "Also:" entries, suffixes and notes; private and escaped texts; the leave tag; the
// record beside the classic cell; the log line.
#include <gtest/gtest.h>

#include "board/CalendarStatus.h"
#include "pages/StatusCell.h"
#include "calendar/ParsedCalendar.h"
#include "tests/browser/Fakes.h"
#include "tests/calendar/ZoneScope.h"

using namespace quorvane;

namespace {

struct StatusCase {
    const char* zone;
    int day;  // of December 2026
    double hours;
    const char* leaveTag;
    const char* expected;
};

const StatusCase StatusCases[] = {
    // The person's own calendar: every all-day entry that blocks time is a note, a private one
    // as "Private".
    {"UTC", 7, 9.5, "",
     "Private until 10:00<br><small>Note: Annual leave Ann</small><br><small>Note: Late start</small>"
     "<br><small>Note: Conference</small><br><small>Note: Team lunch</small><br><small>Note: Private</small>"
     "<br><small>Note: Bob leave</small>"},
    {"UTC", 7, 9.5, "Ann",
     "Private until 10:00<br><small>Note: Annual leave Ann</small><br><small>Note: Late start</small>"},
    {"UTC", 7, 9.5, "ann", "Private until 10:00<br><small>Note: Late start</small>"},
    // A shift gets no suffix; the start instant itself is not yet in progress, the end is.
    {"UTC", 7, 5.0, "Nobody", "Overnight shift<br><small>Note: Late start</small>"},
    {"UTC", 7, 6.0, "Nobody", "Overnight shift<br><small>Note: Late start</small>"},
    {"UTC", 7, 9.0, "Nobody", "<small>Note: Late start</small>"},
    {"UTC", 7, 10.0, "Nobody", "Private until 10:00<br><small>Note: Late start</small>"},
    // Floating times are local wherever the board runs.
    {"America/New_York", 7, 11.25, "Nobody",
     "Offsite until 09/12 12:00, <small>Also: Call until 11:30</small><br><small>Note: Late start</small>"},
    // Two meetings: the later one as "Also", escaped, with its location; an end on a later day.
    {"UTC", 7, 15.5, "Nobody",
     "Offsite until 09/12 17:00, <small>Also: Review &lt;b&gt;&quot;Q4&quot;&lt;/b&gt; &amp; plan&lt;BR&gt; "
     "(&lt;img src=x onerror=alert(1)&gt;) until 16:00</small><br><small>Note: Late start</small>"},
    {"UTC", 8, 12.0, "", "Offsite until 09/12 17:00<br><small>Note: Annual leave Ann</small><br><small>Note: Bank holiday</small>"},
    {"Europe/London", 10, 12.0, "", ""},
};

struct CalendarStatusTest : ::testing::Test {
    FormatSettings saved = *localeFormats();
    RecordingLog log;
    ParsedCalendar calendar = ParsedCalendar::parse({readIcs("allday.ics"), readIcs("timed.ics")});
    void SetUp() override { setLocaleFormats(FormatSettings::dayMonthYear()); }
    void TearDown() override { setLocaleFormats(saved); }
    PersonStatus compose(int day, double hours, const std::string& tag)
    {
        return composeCalendarStatus(calendar.day(2026, 12, day), instantOfLocal(encodeDate(2026, 12, day) + hours / 24),
                                     tag, log);
    }
};

TEST_F(CalendarStatusTest, StatusAtChosenInstants)
{
    for (const StatusCase& c : StatusCases) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(classicStatusHtml(compose(c.day, c.hours, c.leaveTag)), c.expected)
            << c.day << " Dec " << c.hours << "h in " << c.zone << " tag '" << c.leaveTag << "'";
    }
}

TEST_F(CalendarStatusTest, StructuredStateAndLog)
{
    ZoneScope zone("UTC");
    int logCalls = 0;
    log.onLog = [&](const std::string&) { ++logCalls; };
    const PersonStatus status = compose(7, 15.5, "");
    EXPECT_EQ(logCalls, 3);  // the two counts and every item's dot in one append
    EXPECT_EQ(status.state, PersonState::Meeting);
    ASSERT_EQ(status.meetings.size(), 2u);
    EXPECT_TRUE(status.meetings[0].endsLaterDay);
    EXPECT_EQ(status.meetings[1].description.plain, "Review <b>\"Q4\"</b> & plan<BR> (<img src=x onerror=alert(1)>)");
    ASSERT_EQ(status.notes.size(), 6u);
    // The out-of-office conference counts as leave, and so does the private holiday.
    const NoteKind kinds[] = {NoteKind::Leave, NoteKind::Late, NoteKind::Leave, NoteKind::Other, NoteKind::Leave,
                              NoteKind::Leave};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(status.notes[i].kind, kinds[i]) << status.notes[i].text.plain;
    EXPECT_EQ(status.notes[2].text.plain, "Conference");
    EXPECT_EQ(log.lines.back(), "Result: Meetings: 5, Day Events: 6...........");
}

TEST_F(CalendarStatusTest, PrivateAndUntitledEntries)
{
    ZoneScope zone("UTC");
    CalendarDay day;
    day.meetings.push_back({"Secret <x>", "Room", 0, 4'000'000'000, true});
    day.dayEvents.push_back({"", true, false});
    day.dayEvents.push_back({"Sick leave", false, true});
    // Private leave is still leave: admitted by its own words, shown as "Private".
    const PersonStatus status = composeCalendarStatus(day, instantOfLocal(encodeDate(2026, 12, 7) + 0.5), "", log);
    EXPECT_EQ(classicStatusHtml(status),
              "Private until 02/10 07:06<br><small>Note: Out of office</small><br><small>Note: Private</small>");
    ASSERT_EQ(status.notes.size(), 2u);
    EXPECT_EQ(status.notes[1].kind, NoteKind::Leave);
}

// The flags calendar services set: a tentative meeting, a timed out-of-office entry (leave until
// its end), working-location entries timed and all-day (notes of their own kind).
TEST_F(CalendarStatusTest, CalendarServiceFlags)
{
    ZoneScope zone("UTC");
    const Instant now = instantOfLocal(encodeDate(2026, 12, 7) + 10.0 / 24);
    const std::int64_t at = unixSeconds(now);
    auto meeting = [&](const char* summary, std::int64_t endMinutes) {
        return CalendarMeeting{summary, "", at - 600, at + endMinutes * 60};
    };
    const struct {
        CalendarDay day;
        PersonState state;
        const char* expected;
    } cases[] = {
        {{{[&] { auto m = meeting("Budget", 30); m.tentative = true; return m; }()}, {}, {}},
         PersonState::Meeting, "Budget until 10:30"},
        {{{[&] { auto m = meeting("", 120); m.outOfOffice = true; return m; }()}, {}, {}},
         PersonState::Leave, "<small>Note: Out of office until 12:00</small>"},
        {{{[&] { auto m = meeting("Dentist", 24 * 60); m.outOfOffice = true; return m; }()}, {}, {}},
         PersonState::Leave, "<small>Note: Dentist until 08/12 10:00</small>"},
        {{{[&] { auto m = meeting("Working from home", 60); m.workingElsewhere = true; return m; }()}, {}, {}},
         PersonState::Note, "<small>Note: Working from home</small>"},
        {{{}, {{"Office: Leeds", false, false, true}}, {}}, PersonState::Note, "<small>Note: Office: Leeds</small>"},
        // Over by now: nothing.
        {{{[&] { auto m = meeting("Home", -5); m.workingElsewhere = true; return m; }()}, {}, {}},
         PersonState::Free, ""},
    };
    for (const auto& c : cases) {
        const PersonStatus status = composeCalendarStatus(c.day, now, "Tag", log);
        EXPECT_EQ(classicStatusHtml(status), c.expected);
        EXPECT_EQ(status.state, c.state) << c.expected;
        if (!status.meetings.empty()) {
            EXPECT_EQ(status.meetings[0].tentative, c.day.meetings[0].tentative);
        }
        for (const NoteStatus& note : status.notes)
            EXPECT_EQ(note.kind, c.state == PersonState::Leave ? NoteKind::Leave : NoteKind::Working);
    }
}

TEST(LocalSeconds, ThroughTheLocalZone)
{
    const struct {
        const char* zone;
        int month, day;
        double hours;
        std::int64_t expected;
    } cases[] = {
        {"UTC", 12, 7, 9.5, 1796635800},
        {"Europe/London", 7, 1, 9.0, 1782892800},
        {"America/New_York", 3, 9, 9.0, 1773061200},
    };
    for (const auto& c : cases) {
        ZoneScope zone(c.zone);
        EXPECT_EQ(localToUnixSeconds(encodeDate(2026, c.month, c.day) + c.hours / 24), c.expected) << c.zone;
    }
}

}  // namespace
