#include "text/DateTime.h"

#include "text/Errors.h"
#include "text/TextConstants.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

constexpr int kDaysBeforeMonth[2][kMonthsPerYear + 1] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// Days from 1 January 0001 to the given date (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day)
{
    const std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[IsLeapYear(year)][month - 1] + day - 1;
}

// Splits a day number counted from 1 January 0001 into year, month and day.
void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    constexpr std::int64_t kDays400 = 146097, kDays100 = 36524, kDays4 = 1461, kDays1 = 365;
    std::int64_t y = 1;
    y += (days / kDays400) * 400;
    days %= kDays400;
    std::int64_t centuries = days / kDays100;
    if (centuries == 4) {
        centuries = 3;  // the last day of a 400-year cycle
    }
    y += centuries * 100;
    days -= centuries * kDays100;
    y += (days / kDays4) * 4;
    days %= kDays4;
    std::int64_t years = days / kDays1;
    if (years == 4) {
        years = 3;  // the last day of a leap year
    }
    y += years;
    days -= years * kDays1;
    year = static_cast<int>(y);
    const bool leap = IsLeapYear(year);
    month = 1;
    while (month < kMonthsPerYear && days >= kDaysBeforeMonth[leap][month]) {
        ++month;
    }
    day = static_cast<int>(days - kDaysBeforeMonth[leap][month - 1]) + 1;
}

}  // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > kMonthsPerYear) {
        return 0;
    }
    const bool leap = IsLeapYear(year);
    return kDaysBeforeMonth[leap][month] - kDaysBeforeMonth[leap][month - 1];
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (month < 1 || month > kMonthsPerYear) {
        throw ERangeError(std::string(kRangeErrorMessage));  // would index past the month table
    }
    return static_cast<TDateTime>(DaysFromCivil(year, month, day) - kDaysToEpoch);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    const std::int64_t ms = hour * kMsPerHour + minute * kMsPerMinute + second * kMsPerSecond + millisecond;
    return static_cast<TDateTime>(ms) / static_cast<TDateTime>(kMsPerDay);
}

TDateTimeParts DecodeDateTime(TDateTime value)
{
    // Round to the millisecond, ties to even, regardless of the thread's rounding mode.
    // Values outside years 1 to 9999 (and NaN) are held at the nearest end of that range.
    static const double lowest = -static_cast<double>(kDaysToEpoch) * static_cast<double>(kMsPerDay);
    static const double highest =
        static_cast<double>(DaysFromCivil(kMaxYear, kMonthsPerYear, 31) - kDaysToEpoch + 1) *
            static_cast<double>(kMsPerDay) - 1.0;
    double scaled = value * static_cast<double>(kMsPerDay);
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
    std::int64_t dayNumber = m / kMsPerDay;
    std::int64_t timeOfDay = m % kMsPerDay;
    if (timeOfDay < 0) {
        timeOfDay += kMsPerDay;
        --dayNumber;
    }
    TDateTimeParts parts{};
    CivilFromDays(dayNumber + kDaysToEpoch, parts.Year, parts.Month, parts.Day);
    parts.Hour = static_cast<int>(timeOfDay / kMsPerHour);
    parts.Minute = static_cast<int>(timeOfDay % kMsPerHour / kMsPerMinute);
    parts.Second = static_cast<int>(timeOfDay % kMsPerMinute / kMsPerSecond);
    parts.Millisecond = static_cast<int>(timeOfDay % kMsPerSecond);
    return parts;
}

TDateTime ClockNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, kSecondsPerMinute - 1), static_cast<int>(now.tv_nsec / kNsPerMs));
}

TDateTime AddSeconds(TDateTime value, std::int64_t seconds)
{
    // long double carries a 64-bit mantissa on x86-64, so the round trip through seconds adds
    // no error of its own before the final rounding to double.
    const long double total = static_cast<long double>(value) * kSecondsPerDay + static_cast<long double>(seconds);
    return static_cast<TDateTime>(total / kSecondsPerDay);
}
