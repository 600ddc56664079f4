#pragma once
// Date-time values (days since 30 December 1899 as a double), the regional format record, the
// clock, formatting by pattern and parsing.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorvane {

using DateTime = double;

// The two-digit-year window used by parsing; fixed, not a regional setting.
constexpr int CenturyWindow = 50;

// The regional settings that formatting and parsing read. One immutable record is current for
// the whole process; it is replaced whole (see localeFormats()).
struct FormatSettings {
    char dateSep = '/';
    char timeSep = ':';
    char decimalSep = '.';
    std::string shortDatePattern = "m/d/yy";
    std::string amDesignator = "am";
    std::string pmDesignator = "pm";
    std::array<std::string, 12> monthAbbrevs{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    // The fixed fallbacks, used where a regional item cannot be read.
    static FormatSettings fallback();
    // A fixed day-month-year record with "/" and ":" (the parser's own meeting texts).
    static FormatSettings dayMonthYear();
    // Read from the POSIX locale of the environment (LC_TIME, LC_NUMERIC), fallbacks where empty.
    static FormatSettings fromEnvironment();

    bool operator==(const FormatSettings&) const = default;
};

// The current record; other threads see the old record or the new one, whole.
std::shared_ptr<const FormatSettings> localeFormats();
void setLocaleFormats(FormatSettings formats);
// Re-reads the record from the environment's locale (start-up, and on a locale change).
void reloadLocaleFormats();

// Calendar helpers (proleptic Gregorian, years 1 to 9999).
bool isLeapYear(int year);
int daysInMonth(int year, int month);
DateTime encodeDate(int year, int month, int day);
DateTime encodeTime(int hour, int minute, int second, int millisecond);
struct DateTimeParts {
    int year, month, day, hour, minute, second, millisecond;
};
// Splits at the millisecond, rounding ties to even (a value just short of midnight is next day).
DateTimeParts decodeDateTime(DateTime value);

// The local wall clock to the millisecond.
DateTime clockNow();
// (value x 86400 + seconds) / 86400 with a long double in between.
DateTime addSeconds(DateTime value, std::int64_t seconds);
// Unix seconds of a local wall time (the machine's zone, TZ respected); a wall time that occurs
// twice or never at a clock change is resolved by mktime.
std::int64_t localToUnixSeconds(DateTime localTime);

// Pattern tokens d, m, y, h, n, s; "mm" after an hour token means minutes; "/" and ":" print the
// record's separators; output capped at 256 characters.
std::string dateTimeToText(std::string_view pattern, DateTime value);
std::string dateTimeToText(std::string_view pattern, DateTime value, const FormatSettings& formats);

// Date-time, date alone or time alone (on day 0); raises ConvertError
// "'%s' is not a valid date and time". currentYear fills a missing year and anchors two-digit ones.
DateTime textToDateTime(std::string_view text);
DateTime textToDateTime(std::string_view text, const FormatSettings& formats);
DateTime textToDateTime(std::string_view text, const FormatSettings& formats, int currentYear);

}  // namespace quorvane
