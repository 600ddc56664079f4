#include "text/DateTime.h"

#include "text/Errors.h"
#include "text/TextConstants.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace quorvane {

namespace {

constexpr int DaysBeforeMonth[2][MonthsPerYear + 1] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// Days from 1 January 0001 to the given date (proleptic Gregorian).
std::int64_t daysFromCivil(int year, int month, int day)
{
    const std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400 + DaysBeforeMonth[isLeapYear(year)][month - 1] + day - 1;
}

// Splits a day number counted from 1 January 0001 into year, month and day.
void civilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    constexpr std::int64_t Days400 = 146097, Days100 = 36524, Days4 = 1461, Days1 = 365;
    std::int64_t y = 1;
    y += (days / Days400) * 400;
    days %= Days400;
    std::int64_t centuries = days / Days100;
    if (centuries == 4) {
        centuries = 3;  // the last day of a 400-year cycle
    }
    y += centuries * 100;
    days -= centuries * Days100;
    y += (days / Days4) * 4;
    days %= Days4;
    std::int64_t years = days / Days1;
    if (years == 4) {
        years = 3;  // the last day of a leap year
    }
    y += years;
    days -= years * Days1;
    year = static_cast<int>(y);
    const bool leap = isLeapYear(year);
    month = 1;
    while (month < MonthsPerYear && days >= DaysBeforeMonth[leap][month]) {
        ++month;
    }
    day = static_cast<int>(days - DaysBeforeMonth[leap][month - 1]) + 1;
}

}  // namespace

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month)
{
    if (month < 1 || month > MonthsPerYear) {
        return 0;
    }
    const bool leap = isLeapYear(year);
    return DaysBeforeMonth[leap][month] - DaysBeforeMonth[leap][month - 1];
}

DateTime encodeDate(int year, int month, int day)
{
    if (month < 1 || month > MonthsPerYear) {
        throw RangeError(std::string(RangeErrorMessage));  // would index past the month table
    }
    return static_cast<DateTime>(daysFromCivil(year, month, day) - DaysToEpoch);
}

DateTime encodeTime(int hour, int minute, int second, int millisecond)
{
    const std::int64_t ms = hour * MsPerHour + minute * MsPerMinute + second * MsPerSecond + millisecond;
    return static_cast<DateTime>(ms) / static_cast<DateTime>(MsPerDay);
}

DateTimeParts decodeDateTime(DateTime value)
{
    // Round to the millisecond, ties to even, regardless of the thread's rounding mode.
    // Values outside years 1 to 9999 (and NaN) are held at the nearest end of that range.
    static const double lowest = -static_cast<double>(DaysToEpoch) * static_cast<double>(MsPerDay);
    static const double highest =
        static_cast<double>(daysFromCivil(MaxYear, MonthsPerYear, 31) - DaysToEpoch + 1) *
            static_cast<double>(MsPerDay) - 1.0;
    double scaled = value * static_cast<double>(MsPerDay);
    if (!(scaled >= lowest)) {
        scaled = std::isnan(scaled) ? 0.0 : lowest;
    } else if (scaled > highest) {
        scaled = highest;
    }
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    const auto m = static_cast<std::int64_t>(whole);
    std::int64_t dayNumber = m / MsPerDay;
    std::int64_t timeOfDay = m % MsPerDay;
    if (timeOfDay < 0) {
        timeOfDay += MsPerDay;
        --dayNumber;
    }
    DateTimeParts parts{};
    civilFromDays(dayNumber + DaysToEpoch, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(timeOfDay / MsPerHour);
    parts.minute = static_cast<int>(timeOfDay % MsPerHour / MsPerMinute);
    parts.second = static_cast<int>(timeOfDay % MsPerMinute / MsPerSecond);
    parts.millisecond = static_cast<int>(timeOfDay % MsPerSecond);
    return parts;
}

DateTime clockNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           encodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, SecondsPerMinute - 1), static_cast<int>(now.tv_nsec / NsPerMs));
}

DateTime addSeconds(DateTime value, std::int64_t seconds)
{
    // long double carries a 64-bit mantissa on x86-64, so the round trip through seconds adds
    // no error of its own before the final rounding to double.
    const long double total = static_cast<long double>(value) * SecondsPerDay + static_cast<long double>(seconds);
    return static_cast<DateTime>(total / SecondsPerDay);
}

std::int64_t localToUnixSeconds(DateTime localTime)
{
    const DateTimeParts p = decodeDateTime(localTime);
    std::tm parts{};
    parts.tm_year = p.year - 1900;
    parts.tm_mon = p.month - 1;
    parts.tm_mday = p.day;
    parts.tm_hour = p.hour;
    parts.tm_min = p.minute;
    parts.tm_sec = p.second;
    parts.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&parts));
}

}  // namespace quorvane
