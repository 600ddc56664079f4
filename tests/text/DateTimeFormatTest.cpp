// Calendar, clock arithmetic and DateTimeToText: the system's patterns, "mm after hh",
// separators, rounding at the millisecond and the output cap.
#include "text/DateTime.h"
#include "text/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

const TDateTime kSample = 46088.378512222;  // 7 March 2026 09:05:03.456

std::string Fmt(std::string_view pattern, TDateTime value = kSample,
                const TFormatSettings& f = TFormatSettings::Fallback())
{
    return DateTimeToText(pattern, value, f);
}

}  // namespace

TEST(DateTimeFormatTest, CalendarRoundTrip)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2026, 3, 7), 46088.0);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2) + DaysInMonth(2000, 2) + DaysInMonth(2000, 13), 57);
    EXPECT_THROW(EncodeDate(2026, 0, 1), ERangeError);
    for (int year : {1, 1900, 2000, 2024, 2026, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const TDateTimeParts q = DecodeDateTime(EncodeDate(year, month, day) + 0.5);
                ASSERT_EQ(q.Year * 10000 + q.Month * 100 + q.Day, year * 10000 + month * 100 + day);
            }
        }
    }
}

TEST(DateTimeFormatTest, MillisecondRounding)
{
    EXPECT_EQ(Fmt("yyyy/mm/dd hh:nn:ss"), "2026/03/07 09:05:03");
    EXPECT_EQ(DecodeDateTime(kSample).Millisecond, 456);
    // Just short of midnight is the next day; ties go to the even millisecond.
    EXPECT_EQ(Fmt("dd/mm/yyyy hh:nn:ss", 46088.0 - 0.1 / 86400000.0), "07/03/2026 00:00:00");
    EXPECT_EQ(DecodeDateTime(2.5 / 86400000.0).Millisecond, 2);
    EXPECT_EQ(DecodeDateTime(3.5 / 86400000.0).Millisecond, 4);
    // Values outside the calendar are held at its ends instead of crashing.
    EXPECT_EQ(Fmt("yyyy", std::nan("")), "1899");
    EXPECT_EQ(Fmt("yyyy", 1e300), "9999");
    EXPECT_EQ(Fmt("yyyy", -1e300), "0001");
}

TEST(DateTimeFormatTest, SystemPatternsAndTokens)
{
    EXPECT_EQ(Fmt("dd/mm/yy hh:mm:ss"), "07/03/26 09:05:03");
    EXPECT_EQ(Fmt("yyyy/mm/dd"), "2026/03/07");
    EXPECT_EQ(Fmt("dd/mm/yyyy "), "07/03/2026 ");
    EXPECT_EQ(Fmt("dd/mm hh:nn"), "07/03 09:05");
    EXPECT_EQ(Fmt("dd/mmm/yyyy:hh:mm:ss"), "07/Mar/2026:09:05:03");
    EXPECT_EQ(Fmt("hh:mm)"), "09:05)");
    EXPECT_EQ(Fmt("d m y h n s"), "7 3 26 9 5 3");
    EXPECT_EQ(Fmt("DD-MM-YYY hhh"), "07-03-2026 09");
    EXPECT_EQ(Fmt("dD"), "77");
    EXPECT_EQ(Fmt("hh:nn mm"), "09:05 03");  // after minutes, mm is the month again
    EXPECT_EQ(Fmt("mm hh"), "03 09");
    EXPECT_EQ(Fmt("'dd' dd"), "dd 07");
    EXPECT_EQ(Fmt("yyyy/mm/dd", EncodeDate(987, 6, 5)), "0987/06/05");
}

TEST(DateTimeFormatTest, SeparatorsMonthNamesAndCap)
{
    TFormatSettings f = TFormatSettings::Fallback();
    f.DateSep = '.';
    EXPECT_EQ(Fmt("dd/mm/yy hh:mm:ss", kSample, f), "07.03.26 09:05:03");
    EXPECT_EQ(Fmt("dd-mm yy", kSample, f), "07-03 26");
    f.DateSep = '\0';
    f.TimeSep = '\0';
    f.MonthAbbrevs[2] = "mars";
    EXPECT_EQ(Fmt("dd/mmm hh:nn", kSample, f), "07mars 0905");
    EXPECT_EQ(Fmt(std::string(300, '-')).size(), 256u);
    EXPECT_EQ(Fmt(std::string(255, '-') + "yyyy"), std::string(255, '-') + "2");
}

TEST(DateTimeFormatTest, AddSecondsAndClock)
{
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(23, 59, 30, 0);
    EXPECT_EQ(Fmt("dd/mm hh:nn:ss", AddSeconds(t, 60)), "08/03 00:00:30");
    EXPECT_EQ(Fmt("hh:nn:ss", AddSeconds(kSample, 3600)), "10:05:03");
    EXPECT_EQ(Fmt("dd hh:nn", AddSeconds(t, -86400)), "06 23:59");
    EXPECT_EQ(AddSeconds(kSample, 0), kSample);
    const std::time_t raw = std::time(nullptr);
    std::tm local{};
    localtime_r(&raw, &local);
    const TDateTime today = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    EXPECT_GE(ClockNow(), today - 1);
    EXPECT_LT(ClockNow(), today + 2);
}
