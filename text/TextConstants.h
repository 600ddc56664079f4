#pragma once
// Every literal and limit of the text and time primitives, in one place.
#include <cstdint>
#include <string_view>

// Error messages; "%d" and "%s" are filled in order by formatPlaceholders.
inline constexpr std::string_view RangeErrorMessage = "Range check error";
inline constexpr std::string_view ListIndexErrorFormat = "List index out of bounds (%d)";
inline constexpr std::string_view FileOpenErrorFormat = "Cannot open file \"%s\". %s";
inline constexpr std::string_view ConvertErrorFormat = "'%s' is not a valid date and time";

// Windows editors start UTF-8 files with this mark; readers of the roster and of calendar data
// skip it.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// What stands for bytes that are not UTF-8 (U+FFFD).
inline constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

// Line ends and the characters the line and comma-text cutters look at.
inline constexpr char CR = '\r';
inline constexpr char LF = '\n';
inline constexpr char Nul = '\0';
inline constexpr std::string_view TextLineBreak = "\r\n";
inline constexpr char CommaSeparator = ',';
inline constexpr char CommaQuote = '"';
// Bytes of code 0 to this value are blanks and control characters (trimming, comma text).
inline constexpr unsigned char LastBlankCode = 32;
// Trailing characters removed from the system's description of a file error.
inline constexpr std::string_view ErrorTextTrailers = " \r\n.";
inline constexpr char PathSeparator = '/';
// Read step for files that do not report their size up front.
inline constexpr std::size_t ReadChunk = 4096;

// Growth of the StringList entry array: +4 up to this capacity, +16 up to the next, then +1/4.
inline constexpr int ListSmallCapacity = 8;
inline constexpr int ListMediumCapacity = 64;
inline constexpr int ListSmallGrowth = 4;
inline constexpr int ListMediumGrowth = 16;
inline constexpr int ListLargeGrowthDivisor = 4;

// UTF-8 two-byte Latin-1 supplement letters: lead byte, the lower-case range of the second byte,
// the one byte inside that range that is not a letter (division sign), and the case distance.
inline constexpr unsigned char Latin1Lead = 0xC3;
inline constexpr unsigned char Latin1LowerFirst = 0xA0;
inline constexpr unsigned char Latin1LowerLast = 0xBE;
inline constexpr unsigned char Latin1Division = 0xB7;
inline constexpr unsigned char CaseDistance = 0x20;
inline constexpr unsigned char FirstNonAscii = 0x80;

// Date-time arithmetic.
inline constexpr std::int64_t MsPerSecond = 1000;
inline constexpr std::int64_t MsPerMinute = 60 * MsPerSecond;
inline constexpr std::int64_t MsPerHour = 60 * MsPerMinute;
inline constexpr std::int64_t MsPerDay = 24 * MsPerHour;
inline constexpr std::int64_t SecondsPerDay = 86400;
inline constexpr std::int64_t NsPerMs = 1000000;
inline constexpr int MinYear = 1;
inline constexpr int MaxYear = 9999;
inline constexpr int MonthsPerYear = 12;
inline constexpr int HoursPerDay = 24;
inline constexpr int MinutesPerHour = 60;
inline constexpr int SecondsPerMinute = 60;
inline constexpr int HoursPerHalfDay = 12;
inline constexpr int YearsPerCentury = 100;
// Days from 1 January 0001 (proleptic Gregorian) to 30 December 1899, the day-0 of DateTime.
inline constexpr std::int64_t DaysToEpoch = 693593;

// Formatting and parsing.
inline constexpr std::size_t MaxFormattedLength = 256;
// A number stops taking digits once its value reaches this (at most four significant digits).
inline constexpr int NumberDigitLimit = 1000;
inline constexpr std::string_view AmFixed = "AM";
inline constexpr std::string_view PmFixed = "PM";

// The fixed fallbacks of the regional settings.
inline constexpr char FallbackDateSep = '/';
inline constexpr char FallbackTimeSep = ':';
inline constexpr char FallbackDecimalSep = '.';
inline constexpr std::string_view FallbackShortDatePattern = "m/d/yy";
inline constexpr std::string_view FallbackAm = "am";
inline constexpr std::string_view FallbackPm = "pm";
inline constexpr std::string_view DayMonthYearPattern = "dd/MM/yyyy";

// strftime pieces met in the locale's date and time formats: glibc's flags, widths and modifiers
// between '%' and the conversion, and what the composite conversions %D and %F stand for.
inline constexpr std::string_view StrftimeFlags = "-_0^#EO123456789";
inline constexpr std::string_view StrftimeD = "%m/%d/%y";
inline constexpr std::string_view StrftimeF = "%Y-%m-%d";
