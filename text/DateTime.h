#pragma once
// Date-time values (days since 30 December 1899 as a double), the regional format record, the
// clock, formatting by pattern and parsing.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

using TDateTime = double;

// The two-digit-year window used by parsing; fixed, not a regional setting.
constexpr int CenturyWindow = 50;

// The regional settings that formatting and parsing read. One immutable record is current for
// the whole process; it is replaced whole (see LocaleFormats()).
struct TFormatSettings {
    char DateSep = '/';
    char TimeSep = ':';
    char DecimalSep = '.';
    std::string ShortDatePattern = "m/d/yy";
    std::string AmDesignator = "am";
    std::string PmDesignator = "pm";
    std::array<std::string, 12> MonthAbbrevs{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

    // The fixed fallbacks, used where a regional item cannot be read.
    static TFormatSettings Fallback();
    // A fixed day-month-year record with "/" and ":" (the parser's own meeting texts).
    static TFormatSettings DayMonthYear();
    // Read from the POSIX locale of the environment (LC_TIME, LC_NUMERIC), fallbacks where empty.
    static TFormatSettings FromEnvironment();

    bool operator==(const TFormatSettings&) const = default;
};

// The current record; other threads see the old record or the new one, whole.
std::shared_ptr<const TFormatSettings> LocaleFormats();
void SetLocaleFormats(TFormatSettings formats);
// Re-reads the record from the environment's locale (start-up, and on a locale change).
void ReloadLocaleFormats();

// Calendar helpers (proleptic Gregorian, years 1 to 9999).
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
struct TDateTimeParts {
    int Year, Month, Day, Hour, Minute, Second, Millisecond;
};
// Splits at the millisecond, rounding ties to even (a value just short of midnight is next day).
TDateTimeParts DecodeDateTime(TDateTime value);

// The local wall clock to the millisecond.
TDateTime ClockNow();
// (value x 86400 + seconds) / 86400 with a long double in between.
TDateTime AddSeconds(TDateTime value, std::int64_t seconds);

// Pattern tokens d, m, y, h, n, s; "mm" after an hour token means minutes; "/" and ":" print the
// record's separators; output capped at 256 characters.
std::string DateTimeToText(std::string_view pattern, TDateTime value);
std::string DateTimeToText(std::string_view pattern, TDateTime value, const TFormatSettings& formats);

// Date-time, date alone or time alone (on day 0); raises EConvertError
// "'%s' is not a valid date and time". currentYear fills a missing year and anchors two-digit ones.
TDateTime TextToDateTime(std::string_view text);
TDateTime TextToDateTime(std::string_view text, const TFormatSettings& formats);
TDateTime TextToDateTime(std::string_view text, const TFormatSettings& formats, int currentYear);
