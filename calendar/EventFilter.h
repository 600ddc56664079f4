#pragma once
// A pass over iCalendar text before libical reads it, cutting out whole VEVENTs: one holding a
// NUL byte (libical would stop reading there and lose the rest of the calendar), with a warning;
// and, when dates are given, a plain event (no recurrence, not an override) whose start and end
// read by libical's own value parsers lie well outside them, which then costs no parsing at all;
// of the events left, no more than eventsLeft (counted down across the texts of one calendar),
// the rest cut with a warning. Anything not understood is left for libical.
#include <optional>
#include <string>
#include <string_view>

#include "calendar/WarningList.h"

struct DayNumberRange {
    long long first = 0, last = 0;  // civil day numbers, both included
};

// The text without the events cut; nullopt when nothing was cut (the text stands as it is).
std::optional<std::string> filterEvents(std::string_view text, const std::optional<DayNumberRange>& keep,
                                        std::size_t& eventsLeft, WarningList& warnings);
