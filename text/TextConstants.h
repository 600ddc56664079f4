#pragma once
// Every literal and limit of the text and time primitives, in one place.
#include <cstdint>
#include <string_view>

// Error messages; "%d" and "%s" are filled in order by FormatPlaceholders.
inline constexpr std::string_view kRangeErrorMessage = "Range check error";
inline constexpr std::string_view kListIndexErrorFormat = "List index out of bounds (%d)";
inline constexpr std::string_view kFileOpenErrorFormat = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kConvertErrorFormat = "'%s' is not a valid date and time";

// Line ends and the characters the line and comma-text cutters look at.
inline constexpr char kCR = '\r';
inline constexpr char kLF = '\n';
inline constexpr char kNul = '\0';
inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr char kCommaSeparator = ',';
inline constexpr char kCommaQuote = '"';
// Bytes of code 0 to this value are blanks and control characters (trimming, comma text).
inline constexpr unsigned char kLastBlankCode = 32;
// Trailing characters removed from the system's description of a file error.
inline constexpr std::string_view kErrorTextTrailers = " \r\n.";
inline constexpr char kPathSeparator = '/';
// Read step for files that do not report their size up front.
inline constexpr std::size_t kReadChunk = 4096;

// Growth of the TStringList entry array: +4 up to this capacity, +16 up to the next, then +1/4.
inline constexpr int kListSmallCapacity = 8;
inline constexpr int kListMediumCapacity = 64;
inline constexpr int kListSmallGrowth = 4;
inline constexpr int kListMediumGrowth = 16;
inline constexpr int kListLargeGrowthDivisor = 4;

// UTF-8 two-byte Latin-1 supplement letters: lead byte, the lower-case range of the second byte,
// the one byte inside that range that is not a letter (division sign), and the case distance.
inline constexpr unsigned char kLatin1Lead = 0xC3;
inline constexpr unsigned char kLatin1LowerFirst = 0xA0;
inline constexpr unsigned char kLatin1LowerLast = 0xBE;
inline constexpr unsigned char kLatin1Division = 0xB7;
inline constexpr unsigned char kCaseDistance = 0x20;
inline constexpr unsigned char kFirstNonAscii = 0x80;

// Date-time arithmetic.
inline constexpr std::int64_t kMsPerSecond = 1000;
inline constexpr std::int64_t kMsPerMinute = 60 * kMsPerSecond;
inline constexpr std::int64_t kMsPerHour = 60 * kMsPerMinute;
inline constexpr std::int64_t kMsPerDay = 24 * kMsPerHour;
inline constexpr std::int64_t kSecondsPerDay = 86400;
inline constexpr std::int64_t kNsPerMs = 1000000;
inline constexpr int kMinYear = 1;
inline constexpr int kMaxYear = 9999;
inline constexpr int kMonthsPerYear = 12;
inline constexpr int kHoursPerDay = 24;
inline constexpr int kMinutesPerHour = 60;
inline constexpr int kSecondsPerMinute = 60;
inline constexpr int kHoursPerHalfDay = 12;
inline constexpr int kYearsPerCentury = 100;
// Days from 1 January 0001 (proleptic Gregorian) to 30 December 1899, the day-0 of TDateTime.
inline constexpr std::int64_t kDaysToEpoch = 693593;

// Formatting and parsing.
inline constexpr std::size_t kMaxFormattedLength = 256;
// A number stops taking digits once its value reaches this (at most four significant digits).
inline constexpr int kNumberDigitLimit = 1000;
inline constexpr std::string_view kAmFixed = "AM";
inline constexpr std::string_view kPmFixed = "PM";

// The fixed fallbacks of the regional settings.
inline constexpr char kFallbackDateSep = '/';
inline constexpr char kFallbackTimeSep = ':';
inline constexpr char kFallbackDecimalSep = '.';
inline constexpr std::string_view kFallbackShortDatePattern = "m/d/yy";
inline constexpr std::string_view kFallbackAm = "am";
inline constexpr std::string_view kFallbackPm = "pm";
inline constexpr std::string_view kDayMonthYearPattern = "dd/MM/yyyy";

// strftime pieces met in the locale's date and time formats: glibc's flags, widths and modifiers
// between '%' and the conversion, and what the composite conversions %D and %F stand for.
inline constexpr std::string_view kStrftimeFlags = "-_0^#EO123456789";
inline constexpr std::string_view kStrftimeD = "%m/%d/%y";
inline constexpr std::string_view kStrftimeF = "%Y-%m-%d";
