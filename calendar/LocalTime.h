#pragma once
// The machine's local zone (TZ respected) and plain civil-date arithmetic.
#include <cstdint>

namespace quorvane {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t civilDayNumber(int year, int month, int day);
struct CivilDate {
    int year, month, day;
};
CivilDate civilFromDayNumber(std::int64_t dayNumber);

// Unix seconds of a local wall time; a time skipped by a clock change reads as after the change.
std::int64_t localToUnix(int year, int month, int day, int hour, int minute, int second);
// Unix seconds of local midnight starting the date (the next valid time when midnight is skipped).
std::int64_t localMidnight(int year, int month, int day);

}  // namespace quorvane
