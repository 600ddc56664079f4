#pragma once
// Limits and literals of the iCalendar reader.
#include <cstddef>
#include <string_view>

#include "text/TextConstants.h"

namespace quorvane {

// Most rule steps taken for one series and one day. A series is normally positioned at the day
// asked and needs a handful; COUNT rules that are not plain steps must be walked from their first
// occurrence, and this bounds a rule that keeps producing occurrences before the day.
constexpr int MaxRecurrenceSteps = 20000;
// Rule steps for all the series of one calendar and one day, a libical iterator set up counted
// as IteratorSetupSteps. A step costs about 5 us (Debian's libical computes each date through
// ICU), setting an iterator up about 50 us: this is about 0.3 s of CPU, room for thousands of
// ordinary series, while a calendar of minutely series stops here with a warning.
constexpr long long MaxStepsPerDay = 50000;
constexpr long long IteratorSetupSteps = 10;
// Rules are refused when they can give two occurrences less than a minute apart (FREQ=SECONDLY,
// or several BYSECOND values at any frequency): no calendar of people needs them, and a minutely
// rule already gives at most 1,440 occurrences a day.
// What one person's day keeps at most: the board shows a handful, and each one kept costs every
// refresh. The first ones by start are kept, with a warning.
constexpr std::size_t MaxMeetingsPerDay = 500;
constexpr std::size_t MaxDayEventsPerDay = 500;
// Events read from one calendar read for some dates, once those that cannot touch the dates are
// left out: libical takes about 15 us to read a recurring event, so this bounds the reading of a
// feed under the answer cap to about half a second, and still reads 20,000 events at once.
constexpr std::size_t MaxEventsRead = 20000;
// Distinct warnings kept per calendar and day; the rest are counted in one more line.
constexpr std::size_t MaxWarningsKept = 20;
// Slack around the day asked when positioning a series, in seconds: the search runs on the
// series' own clock, so this only has to cover a daylight-saving change (two hours at most).
constexpr long long ZoneSlackSeconds = 3 * 3600;
// Slack around the dates a calendar is kept for, in seconds: covers a change of the machine's
// zone between reading and expanding (floating times move with it), 26 hours at most.
constexpr long long KeptSlackSeconds = 2 * 86400;
// Dates either side of the day asked that a calendar read for that day keeps.
constexpr int KeptDaysAround = 2;
// The last year iCalendar can write (four digits).
constexpr int MaxRuleYear = 9999;

// Outlook's busy status property, the value that means out of office and the one that means
// working from elsewhere (home, another office).
constexpr std::string_view BusyStatusProperty = "X-MICROSOFT-CDO-BUSYSTATUS";
constexpr std::string_view OutOfOfficeValue = "OOF";
constexpr std::string_view WorkingElsewhereValue = "WORKINGELSEWHERE";
// Time-zone identifiers that mean UTC whatever the zone database says.
constexpr std::string_view UtcZoneNames[] = {"UTC", "GMT", "Z", "Etc/UTC", "Etc/GMT", "Coordinated Universal Time"};
constexpr std::string_view BeginCalendar = "BEGIN:VCALENDAR";
constexpr std::string_view EndCalendar = "END:VCALENDAR";
constexpr std::string_view BeginEvent = "BEGIN:VEVENT";
constexpr std::string_view EndEvent = "END:VEVENT";

// Error and warning texts.
constexpr std::string_view NotICalendarText = "not iCalendar data";
constexpr std::string_view UnreadableText = "unreadable data: ";
constexpr std::string_view NoCalendarText = "no complete VCALENDAR";
constexpr std::string_view NoStartText = "event without a readable DTSTART: ";
constexpr std::string_view UnknownZoneText = "unknown time zone read as local time: ";
constexpr std::string_view RuleNeverText = "recurrence rule that never produces an occurrence: ";
constexpr std::string_view RuleUnsupportedText = "recurrence rule not expanded: ";
constexpr std::string_view RuleSubMinuteText = "recurrence rule not expanded (occurrences less than a minute apart): ";
constexpr std::string_view RuleCappedText = "recurrence rule stopped after too many steps: ";
constexpr std::string_view DayBudgetText = "recurrence rules left unexpanded: the day's expansion budget is spent";
constexpr std::string_view MeetingsCappedText = "more than 500 meetings on the day: the first 500 by start kept";
constexpr std::string_view DayEventsCappedText = "more than 500 all-day events on the day: the first 500 kept";
constexpr std::string_view EventsCappedText = "more than 20000 events around the dates shown: the rest not read";
constexpr std::string_view MoreWarningsText = " more warnings not shown";
constexpr std::string_view ItemSkippedText = "calendar item skipped: ";
constexpr std::string_view NulEventText = "event with a NUL byte skipped, at line ";
constexpr std::string_view OutsideKeptText = "day outside the dates the calendar was kept for: ";

}  // namespace quorvane
