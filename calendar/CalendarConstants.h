#pragma once
// Limits and literals of the iCalendar reader.
#include <string_view>

#include "text/TextConstants.h"

// Most rule steps taken for one series and one day. A series is normally positioned at the day
// asked and needs a handful; COUNT rules must be walked from their first occurrence, and this
// bounds a rule that keeps producing occurrences before the day (or a sub-daily one).
constexpr int MaxRecurrenceSteps = 20000;
// Slack around the day asked when positioning a series, in seconds: covers the offset between
// the event's zone and the local one and a daylight-saving change.
constexpr long long ZoneSlackSeconds = 2 * 86400;

// Outlook's busy status property and the value that means out of office.
constexpr std::string_view BusyStatusProperty = "X-MICROSOFT-CDO-BUSYSTATUS";
constexpr std::string_view OutOfOfficeValue = "OOF";
// Time-zone identifiers that mean UTC whatever the zone database says.
constexpr std::string_view UtcZoneNames[] = {"UTC", "GMT", "Z", "Etc/UTC", "Etc/GMT", "Coordinated Universal Time"};
constexpr std::string_view BeginCalendar = "BEGIN:VCALENDAR";
constexpr std::string_view EndCalendar = "END:VCALENDAR";

// Error and warning texts.
constexpr std::string_view NotICalendarText = "not iCalendar data";
constexpr std::string_view UnreadableText = "unreadable data: ";
constexpr std::string_view NoCalendarText = "no complete VCALENDAR";
constexpr std::string_view NoStartText = "event without a readable DTSTART: ";
constexpr std::string_view UnknownZoneText = "unknown time zone read as local time: ";
constexpr std::string_view RuleNeverText = "recurrence rule that never produces an occurrence: ";
constexpr std::string_view RuleUnsupportedText = "recurrence rule not expanded: ";
constexpr std::string_view RuleCappedText = "recurrence rule stopped after too many steps: ";
