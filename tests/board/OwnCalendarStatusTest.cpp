// A person's own calendar as people write it: all-day absences in their languages, working from
// home, any other all-day entry that blocks time, and "free until" the next meeting; calendars
// as iCalendar text and as the cloud services' events, composed at 10:00 on 7 December 2026.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "board/AbsenceWords.h"
#include "board/CalendarStatus.h"
#include "calendar/ParsedCalendar.h"
#include "cloud/GoogleEvents.h"
#include "cloud/GraphEvents.h"
#include "tests/calendar/ZoneScope.h"
#include "tests/support/TestDoubles.h"

using namespace quorvane;

namespace {

TEST(OwnCalendarStatusTest, WordsMatchWholeWordsInAnyLetterCase)
{
    const struct {
        const char* title;
        AbsenceMatch expected;
    } cases[] = {
        {"URLAUB", AbsenceMatch::Leave},           {"Jour férié", AbsenceMatch::Leave},
        {"Conge\u0301 pay\u00e9", AbsenceMatch::Leave},  // "é" written decomposed
        {"Out-of-office", AbsenceMatch::Leave},    {"PTO.", AbsenceMatch::Leave},
        {"ŚWIĘTO", AbsenceMatch::Leave},           {"Vacaciones 🌴", AbsenceMatch::Leave},
        {"Ferie", AbsenceMatch::Leave},            {"vakantie", AbsenceMatch::Leave},
        {"Föräldraledig", AbsenceMatch::Leave},    {"Sygemeldt", AbsenceMatch::Leave},
        {"Férias", AbsenceMatch::Leave},           {"Malattia", AbsenceMatch::Leave},
        {"Home-Office", AbsenceMatch::Working},    {"Homeoffice", AbsenceMatch::Working},
        {"WFH", AbsenceMatch::Working},            {"Télétravail", AbsenceMatch::Working},
        {"Smart working", AbsenceMatch::Working},  {"praca zdalna", AbsenceMatch::Working},
        {"Holiday (WFH)", AbsenceMatch::Working},  // working words first
        {"Sickbay tour", AbsenceMatch::None},      {"Kick-off", AbsenceMatch::None},
        {"Teleport demo", AbsenceMatch::None},     {"", AbsenceMatch::None},
    };
    const AbsenceWords& words = *AbsenceWords::builtIn();
    for (const auto& c : cases) EXPECT_EQ(words.match(c.title), c.expected) << c.title;

    // Added lines: a comment, a blank line, a leave word and a working one; the built-in ones stay.
    const auto added = AbsenceWords::builtInWith("# ours\n\r\n  Sabbatical\r\nhome: Campus B\nhome:\n");
    EXPECT_EQ(added->size(), words.size() + 2);
    EXPECT_EQ(added->match("sabbatical"), AbsenceMatch::Leave);
    EXPECT_EQ(added->match("At campus b today"), AbsenceMatch::Working);
    EXPECT_EQ(added->match("Urlaub"), AbsenceMatch::Leave);
    EXPECT_EQ(words.match("sabbatical"), AbsenceMatch::None);
}

#define ALLDAY(uid, lines) "BEGIN:VEVENT\r\nUID:" uid "\r\nDTSTART;VALUE=DATE:20261207\r\n" lines "END:VEVENT\r\n"
#define TIMED(uid, from, to, lines) \
    "BEGIN:VEVENT\r\nUID:" uid "\r\nDTSTART:20261207T" from "0000Z\r\nDTEND:20261207T" to "0000Z\r\n" lines "END:VEVENT\r\n"

const char* stateName(PersonState state)
{
    const char* names[] = {"Meeting", "Leave", "Note", "Free", "Unknown"};
    return names[static_cast<int>(state)];
}

// "STATE notes [until hh:mm]": each note as KIND:text.
std::string shown(const PersonStatus& status)
{
    const char* kinds[] = {"Leave", "Holiday", "Shift", "Late", "Early", "Other", "Working"};
    std::string text = stateName(status.state);
    for (const NoteStatus& note : status.notes)
        text += std::string(" ") + kinds[static_cast<int>(note.kind)] + ":" + note.text.plain;
    if (status.freeUntil) {
        const LocalParts until = localParts(*status.freeUntil);
        char time[16];
        std::snprintf(time, sizeof time, " until %02d:%02d", until.hour, until.minute);
        text += time;
    }
    return text;
}

struct OwnCalendarCase {
    const char* events;  // VEVENTs of 7 December 2026, UTC
    const char* tag;     // the roster's leave tag: set for a shared leave calendar
    const char* shown;
};

const OwnCalendarCase OwnCalendarCases[] = {
    {ALLDAY("a", "SUMMARY:Vacation\r\n"), "", "Leave Leave:Vacation"},
    {ALLDAY("a", "SUMMARY:Out of office\r\n"), "", "Leave Leave:Out of office"},
    {ALLDAY("a", "SUMMARY:PTO\r\n"), "", "Leave Leave:PTO"},
    {ALLDAY("a", "SUMMARY:Sick\r\nTRANSP:OPAQUE\r\n"), "", "Leave Leave:Sick"},
    {ALLDAY("a", "SUMMARY:Urlaub\r\n"), "", "Leave Leave:Urlaub"},
    {ALLDAY("a", "SUMMARY:Working from home\r\n"), "", "Note Working:Working from home"},
    {ALLDAY("a", "SUMMARY:Client site\r\nX-MICROSOFT-CDO-BUSYSTATUS:WORKINGELSEWHERE\r\n"), "",
     "Note Working:Client site"},
    {TIMED("t", "09", "12", "SUMMARY:Harbour office\r\nX-MICROSOFT-CDO-BUSYSTATUS:WORKINGELSEWHERE\r\n"), "",
     "Note Working:Harbour office"},
    {ALLDAY("a", "SUMMARY:Team offsite\r\n"), "", "Note Other:Team offsite"},
    {ALLDAY("a", "SUMMARY:Late start\r\n"), "", "Note Late:Late start"},
    {ALLDAY("a", ""), "", "Note Other:Busy"},
    // Private: leave and working stay what they are, anything else is only "Private".
    {ALLDAY("a", "SUMMARY:Congé\r\nCLASS:PRIVATE\r\n"), "", "Leave Leave:Private"},
    {ALLDAY("a", "SUMMARY:Homeoffice\r\nCLASS:CONFIDENTIAL\r\n"), "", "Note Working:Private"},
    {ALLDAY("a", "SUMMARY:Dentist\r\nCLASS:PRIVATE\r\n"), "", "Note Other:Private"},
    // Entries that do not block time, and shared leave calendars, keep the day views' rules.
    {ALLDAY("a", "SUMMARY:Vacation\r\nTRANSP:TRANSPARENT\r\n"), "", "Free"},
    {ALLDAY("a", "SUMMARY:Annual leave\r\nTRANSP:TRANSPARENT\r\n"), "", "Leave Leave:Annual leave"},
    {ALLDAY("a", "SUMMARY:Vacation Ann\r\n") ALLDAY("b", "SUMMARY:Leave Bob\r\n"), "Ann", "Free"},
    // Free until the next meeting that blocks time later today.
    {TIMED("p", "08", "09", "SUMMARY:Stand-up\r\n") TIMED("n", "14", "15", "SUMMARY:Review\r\n") TIMED(
         "f", "11", "12", "SUMMARY:Focus\r\nTRANSP:TRANSPARENT\r\n")
         TIMED("c", "12", "13", "SUMMARY:Sync\r\nSTATUS:CANCELLED\r\n")
             TIMED("w", "13", "14", "SUMMARY:Home\r\nX-MICROSOFT-CDO-BUSYSTATUS:WORKINGELSEWHERE\r\n"),
     "", "Free until 14:00"},
    {TIMED("n", "10", "11", "SUMMARY:Starts now\r\n"), "", "Free until 10:00"},
    {"BEGIN:VEVENT\r\nUID:m\r\nDTSTART:20261208T090000Z\r\nDTEND:20261208T100000Z\r\nSUMMARY:Tomorrow\r\nEND:VEVENT\r\n",
     "", "Free"},
    {TIMED("n", "09", "11", "SUMMARY:Review\r\n") TIMED("l", "15", "16", "SUMMARY:Later\r\n"), "", "Meeting"},
    {ALLDAY("a", "SUMMARY:Conference\r\n") TIMED("l", "15", "16", "SUMMARY:Later\r\n"), "", "Note Other:Conference"},
};

TEST(OwnCalendarStatusTest, CalendarsAsPeopleWriteThem)
{
    ZoneScope zone("UTC");
    RecordingLog log;
    const Instant now = instantOfLocal(encodeDate(2026, 12, 7) + 10.0 / 24);
    for (const OwnCalendarCase& c : OwnCalendarCases) {
        const std::string text = std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\n") + c.events +
                                 "END:VCALENDAR\r\n";
        const CalendarDay day = ParsedCalendar::parse(text).day(2026, 12, 7);
        EXPECT_EQ(shown(composeCalendarStatus(day, now, c.tag, log)), c.shown) << c.events;
    }
}

// The cloud services' days go through the same composition.
TEST(OwnCalendarStatusTest, CloudDaysAsPeopleWriteThem)
{
    ZoneScope zone("UTC");
    RecordingLog log;
    const Instant now = instantOfLocal(encodeDate(2026, 12, 7) + 10.0 / 24);
    const DayWindow window = localDayWindow(QDate(2026, 12, 7));
    const struct {
        CalendarDay (*read)(const QJsonArray&, const DayWindow&);
        const char* events;
        const char* shown;
    } cases[] = {
        {graphCalendarDay,
         R"([{"subject":"Vacation","isAllDay":true,"showAs":"busy",
              "start":{"dateTime":"2026-12-07T00:00:00.0000000","timeZone":"UTC"},
              "end":{"dateTime":"2026-12-08T00:00:00.0000000","timeZone":"UTC"}}])",
         "Leave Leave:Vacation"},
        {graphCalendarDay,
         R"([{"subject":"Declined","responseStatus":{"response":"declined"},
              "start":{"dateTime":"2026-12-07T11:00:00.0000000","timeZone":"UTC"},
              "end":{"dateTime":"2026-12-07T12:00:00.0000000","timeZone":"UTC"}},
             {"subject":"Review","showAs":"tentative",
              "start":{"dateTime":"2026-12-07T15:30:00.0000000","timeZone":"UTC"},
              "end":{"dateTime":"2026-12-07T16:00:00.0000000","timeZone":"UTC"}}])",
         "Free until 15:30"},
        {googleCalendarDay,
         R"([{"summary":"Urlaub","start":{"date":"2026-12-07"},"end":{"date":"2026-12-08"}}])", "Leave Leave:Urlaub"},
        {googleCalendarDay,
         R"([{"summary":"Sprint","start":{"dateTime":"2026-12-07T13:00:00Z"},"end":{"dateTime":"2026-12-07T14:00:00Z"}}])",
         "Free until 13:00"},
    };
    for (const auto& c : cases) {
        const QJsonArray events = QJsonDocument::fromJson(c.events).array();
        ASSERT_FALSE(events.isEmpty()) << c.events;
        EXPECT_EQ(shown(composeCalendarStatus(c.read(events, window), now, "", log)), c.shown) << c.events;
    }
}

}  // namespace
