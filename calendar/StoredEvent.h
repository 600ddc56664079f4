#pragma once
// One VEVENT as the reader keeps it between fetches: its times, zone and recurrence, without the
// libical tree it was read from.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <libical/ical.h>

namespace quorvane {

// A date or date-time value with the zone it is read in (nullptr: floating, read as local).
struct CalendarTime {
    icaltimetype wall{};  // zone field cleared; the wall clock in zone
    icaltimezone* zone = nullptr;
    bool isDate() const { return wall.is_date != 0; }
};

// Unix seconds of a date-time value (a floating one read in the local zone).
std::int64_t calendarInstant(const CalendarTime& time);

// The parts only recurring events and their overrides have, kept apart so that a plain event
// stays small (most of a feed's events are plain).
struct SeriesParts {
    // RRULE texts: a parsed rule takes 2.7 KB, its text tens of bytes; read again at expansion.
    std::vector<std::string> rules;
    std::vector<CalendarTime> extraStarts;     // RDATE (a period's own length is not kept)
    std::vector<CalendarTime> excluded;        // EXDATE
    std::optional<CalendarTime> recurrenceId;  // set on an override of one occurrence
};

struct StoredEvent {
    std::string uid, summary, location;
    bool isPrivate = false, outOfOffice = false, cancelled = false, transparent = false;
    bool workingElsewhere = false;  // Outlook's busy status WORKINGELSEWHERE
    CalendarTime start;
    // Timed events: exact length in seconds. All-day events: length in days (at least one).
    std::int64_t length = 0;
    std::unique_ptr<SeriesParts> series;  // null for a plain event

    bool recurs() const { return series && (!series->rules.empty() || !series->extraStarts.empty()); }
    bool isOverride() const { return series && series->recurrenceId.has_value(); }
};

}  // namespace quorvane
