#pragma once
// Rules libical would search for centuries before giving up: refused before expansion.
#include <string>

#include <libical/ical.h>

// Empty when the rule may be expanded; otherwise the warning text that says why it is not.
std::string recurrenceRefusal(const icalrecurrencetype& rule);

// False only when no occurrence of the rule can start on a date from firstDay to lastDay (civil
// day numbers on the series' own clock), read from its weekday and day-of-month parts alone.
// Spares building libical's iterator (tens of microseconds) for series that skip the day.
bool ruleMayFallOn(const icalrecurrencetype& rule, const icaltimetype& start, long long firstDay, long long lastDay);
