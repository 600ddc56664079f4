#pragma once
// Instants shown in the machine's local time zone.
#include <cstdint>
#include <string>

// ISO 8601 local time with the zone's offset, e.g. "2024-05-08T10:30:00+01:00".
std::string isoLocalTime(std::int64_t unixSeconds);
// "hh:nn" in local time.
std::string localHourMinute(std::int64_t unixSeconds);
