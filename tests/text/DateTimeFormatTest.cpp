// DateTimeToText: the system's patterns, the "mm after hh" rule, separators and rounding.
#include "text/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

// 7 March 2026 09:05:03.456
const TDateTime kSample = 46088.378512222;

TFormatSettings English()
{
    return TFormatSettings::Fallback();
}

std::string Fmt(std::string_view pattern, TDateTime value = kSample, const TFormatSettings& f = English())
{
    return DateTimeToText(pattern, value, f);
}

}  // namespace

TEST(CalendarTest, DayNumbersAndParts)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2026, 3, 7), 46088.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    const TDateTimeParts p = DecodeDateTime(kSample);
    EXPECT_EQ((std::vector<int>{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond}),
              (std::vector<int>{2026, 3, 7, 9, 5, 3, 456}));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2026, 2), 28);
    // Every day of a leap and a common year round-trips through the day number.
    for (int year : {1900, 2000, 2024, 2026, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const TDateTimeParts q = DecodeDateTime(EncodeDate(year, month, day) + 0.5);
                ASSERT_EQ(q.Year * 10000 + q.Month * 100 + q.Day, year * 10000 + month * 100 + day);
            }
        }
    }
}

TEST(CalendarTest, MillisecondRoundingTiesToEven)
{
    // Just short of midnight formats as the next day.
    EXPECT_EQ(Fmt("dd/mm/yyyy hh:nn:ss", 46088.0 - 0.1 / 86400000.0), "07/03/2026 00:00:00");
    const TDateTimeParts even = DecodeDateTime(2.5 / 86400000.0);
    EXPECT_EQ(even.Millisecond, 2);
    const TDateTimeParts odd = DecodeDateTime(3.5 / 86400000.0);
    EXPECT_EQ(odd.Millisecond, 4);
    // Garbage values do not crash the formatter.
    EXPECT_EQ(Fmt("yyyy", std::nan("")), "1899");
    EXPECT_EQ(Fmt("yyyy", 1e300), "9999");
    EXPECT_EQ(Fmt("yyyy", -1e300), "0001");
}

TEST(DateTimeFormatTest, SystemPatterns)
{
    EXPECT_EQ(Fmt("dd/mm/yy hh:mm:ss"), "07/03/26 09:05:03");
    EXPECT_EQ(Fmt("yyyy/mm/dd"), "2026/03/07");
    EXPECT_EQ(Fmt("dd/mm/yyyy "), "07/03/2026 ");
    EXPECT_EQ(Fmt("hh:nn"), "09:05");
    EXPECT_EQ(Fmt("dd/mm hh:nn"), "07/03 09:05");
    EXPECT_EQ(Fmt("dd/mmm/yyyy:hh:mm:ss"), "07/Mar/2026:09:05:03");
    EXPECT_EQ(Fmt("hh:mm)"), "09:05)");
}

TEST(DateTimeFormatTest, TokenCountsAndKinds)
{
    EXPECT_EQ(Fmt("d m y h n s"), "7 3 26 9 5 3");
    EXPECT_EQ(Fmt("DD-MM-YYYY"), "07-03-2026");
    EXPECT_EQ(Fmt("dD"), "77");
    EXPECT_EQ(Fmt("yyy"), "2026");
    EXPECT_EQ(Fmt("hhh"), "09");
    // mm right after an hour token means minutes, even across text; not after minutes.
    EXPECT_EQ(Fmt("h-m"), "9-5");
    EXPECT_EQ(Fmt("hh:nn mm"), "09:05 03");
    EXPECT_EQ(Fmt("mm hh"), "03 09");
    EXPECT_EQ(Fmt("'dd' dd"), "dd 07");
    EXPECT_EQ(Fmt("dd/mm/yyyy", EncodeDate(987, 6, 5)), "05/06/0987");
    EXPECT_EQ(Fmt("yyyy/mm/dd", EncodeDate(987, 6, 5)), "0987/06/05");
}

TEST(DateTimeFormatTest, SeparatorsFromSettings)
{
    TFormatSettings dots = English();
    dots.DateSep = '.';
    EXPECT_EQ(Fmt("dd/mm/yy hh:mm:ss", kSample, dots), "07.03.26 09:05:03");
    EXPECT_EQ(Fmt("yyyy/mm/dd", kSample, dots), "2026.03.07");
    EXPECT_EQ(Fmt("dd-mm yy", kSample, dots), "07-03 26");
    TFormatSettings none = English();
    none.DateSep = '\0';
    none.TimeSep = '\0';
    EXPECT_EQ(Fmt("dd/mm hh:nn", kSample, none), "0703 0905");
    TFormatSettings french = English();
    french.MonthAbbrevs[2] = "mars";
    EXPECT_EQ(Fmt("dd/mmm/yyyy", kSample, french), "07/mars/2026");
}

TEST(DateTimeFormatTest, OutputIsCappedAt256)
{
    EXPECT_EQ(Fmt(std::string(300, '-')).size(), 256u);
    const std::string out = Fmt(std::string(255, '-') + "yyyy");
    EXPECT_EQ(out, std::string(255, '-') + "2");
}

TEST(AddSecondsTest, MinuteAndHour)
{
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(23, 59, 30, 0);
    EXPECT_EQ(Fmt("dd/mm hh:nn:ss", AddSeconds(t, 60)), "08/03 00:00:30");
    EXPECT_EQ(Fmt("hh:nn:ss", AddSeconds(kSample, 3600)), "10:05:03");
    EXPECT_EQ(AddSeconds(kSample, 0), kSample);
    EXPECT_EQ(Fmt("dd hh:nn", AddSeconds(t, -86400)), "06 23:59");
}

TEST(ClockTest, NowIsTodayToTheMillisecond)
{
    const TDateTime now = ClockNow();
    std::time_t raw = std::time(nullptr);
    std::tm local{};
    localtime_r(&raw, &local);
    const TDateTime today = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    EXPECT_GE(now, today - 1);
    EXPECT_LT(now, today + 2);
}
