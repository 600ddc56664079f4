#pragma once
// One local day of a person's calendar: the timed meetings overlapping it and the all-day
// events covering it.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct CalendarMeeting {
    std::string summary;
    std::string location;
    std::int64_t start = 0;  // Unix seconds (UTC)
    std::int64_t end = 0;    // Unix seconds (UTC), never before start
    bool isPrivate = false;
    bool tentative = false;         // accepted only tentatively
    bool outOfOffice = false;       // a timed out-of-office entry: leave until its end
    bool workingElsewhere = false;  // a working-location entry; the summary is the note's text
    bool operator==(const CalendarMeeting&) const = default;
};

// summary is the event's own text even when isPrivate is set: hiding it is the composer's work,
// which can so still tell private leave ("Annual leave", or out of office) from other private
// entries and show it as private leave.
struct CalendarDayEvent {
    std::string summary;
    bool outOfOffice = false;
    bool isPrivate = false;
    bool workingElsewhere = false;  // a working-location entry; the summary is the note's text
    bool transparent = false;       // marked as not blocking time (TRANSP:TRANSPARENT)
    bool operator==(const CalendarDayEvent&) const = default;
};

struct CalendarDay {
    std::vector<CalendarMeeting> meetings;  // by start, then end, then summary
    std::vector<CalendarDayEvent> dayEvents;  // in the order of the data
    // What was passed over while reading (an event without a start, an unknown zone, a rule
    // that was refused or cut short, an event or item skipped, a cap reached), each once and at
    // most MaxWarningsKept of them plus a line counting the rest, for the caller's log.
    std::vector<std::string> warnings;
};

}  // namespace quorvane
