#pragma once
// Recurrence rules looked at before libical expands them: the ones it would search for centuries
// (or that step below a minute) refused, COUNT rules turned into UNTIL ones, days a rule skips.
#include <string>

#include <libical/ical.h>

// Empty when the rule may be expanded; otherwise the warning text that says why it is not.
std::string recurrenceRefusal(const icalrecurrencetype& rule);

// False only when no occurrence of the rule can start on a date from firstDay to lastDay (civil
// day numbers on the series' own clock), read from its weekday and day-of-month parts alone.
// Spares building libical's iterator (tens of microseconds) for series that skip the day.
bool ruleMayFallOn(const icalrecurrencetype& rule, const icaltimetype& start, long long firstDay, long long lastDay);

// A COUNT rule that steps plainly (no BY parts) turned into the same rule ending at its last
// occurrence (UNTIL, on the series' own clock), computed by arithmetic: libical then starts its
// search at the day asked instead of walking every occurrence from the first. False, rule
// unchanged, for other rules.
bool countAsUntil(icalrecurrencetype& rule, const icaltimetype& start);
