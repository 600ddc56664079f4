#include "text/Instant.h"

#include <ctime>

namespace quorvane {

LocalParts localParts(Instant instant)
{
    const time_t t = static_cast<time_t>(unixSeconds(instant));
    std::tm parts{};
    localtime_r(&t, &parts);
    return LocalParts{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min,         parts.tm_sec,     parts.tm_yday};
}

Instant instantOfLocal(DateTime localTime)
{
    return instantOfUnix(localToUnixSeconds(localTime));
}

DateTime localOfInstant(Instant instant)
{
    const LocalParts p = localParts(instant);
    return encodeDate(p.year, p.month, p.day) + encodeTime(p.hour, p.minute, p.second, 0);
}

bool sameLocalDay(Instant a, Instant b)
{
    const LocalParts x = localParts(a), y = localParts(b);
    return x.year == y.year && x.dayOfYear == y.dayOfYear;
}

}  // namespace quorvane
