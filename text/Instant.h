#pragma once
// The one instant type inside the program, and every conversion between it and the local wall
// clock (the machine's zone, TZ respected). The day-number DateTime lives on only at the edges
// that need it: the operator's fake-time text and the web calendar's day views.
#include <chrono>
#include <cstdint>

#include "text/DateTime.h"

namespace quorvane {

using Instant = std::chrono::sys_seconds;

// The local wall time's fields of an instant.
struct LocalParts {
    int year = 0, month = 0, day = 0;  // month and day 1-based
    int hour = 0, minute = 0, second = 0;
    int dayOfYear = 0;                 // 0-based
};

LocalParts localParts(Instant instant);
// The instant of a local wall time; a wall time that occurs twice or never at a clock change is
// resolved as mktime resolves it.
Instant instantOfLocal(DateTime localTime);
// The local wall time of an instant, as a day number (whole seconds).
DateTime localOfInstant(Instant instant);
// Seconds since 1970-01-01 UTC (the wall page's JSON and the state files carry these).
inline std::int64_t unixSeconds(Instant instant) { return instant.time_since_epoch().count(); }
inline Instant instantOfUnix(std::int64_t seconds) { return Instant(std::chrono::seconds(seconds)); }
// Whether two instants fall on the same local day.
bool sameLocalDay(Instant a, Instant b);

}  // namespace quorvane
