// Calendar, clock arithmetic and dateTimeToText: the system's patterns, "mm after hh",
// separators, rounding at the millisecond and the output cap.
#include "text/DateTime.h"
#include "text/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

using namespace quorvane;

namespace {

const DateTime Sample = 46088.378512222;  // 7 March 2026 09:05:03.456

std::string fmt(std::string_view pattern, DateTime value = Sample,
                const FormatSettings& f = FormatSettings::fallback())
{
    return dateTimeToText(pattern, value, f);
}

}  // namespace

TEST(DateTimeFormatTest, CalendarRoundTrip)
{
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(2026, 3, 7), 46088.0);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(1900, 2) + daysInMonth(2000, 2) + daysInMonth(2000, 13), 57);
    EXPECT_THROW(encodeDate(2026, 0, 1), RangeError);
    for (int year : {1, 1900, 2000, 2024, 2026, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= daysInMonth(year, month); ++day) {
                const DateTimeParts q = decodeDateTime(encodeDate(year, month, day) + 0.5);
                ASSERT_EQ(q.year * 10000 + q.month * 100 + q.day, year * 10000 + month * 100 + day);
            }
        }
    }
}

TEST(DateTimeFormatTest, MillisecondRounding)
{
    EXPECT_EQ(fmt("yyyy/mm/dd hh:nn:ss"), "2026/03/07 09:05:03");
    EXPECT_EQ(decodeDateTime(Sample).millisecond, 456);
    // Just short of midnight is the next day; ties go to the even millisecond.
    EXPECT_EQ(fmt("dd/mm/yyyy hh:nn:ss", 46088.0 - 0.1 / 86400000.0), "07/03/2026 00:00:00");
    EXPECT_EQ(decodeDateTime(2.5 / 86400000.0).millisecond, 2);
    EXPECT_EQ(decodeDateTime(3.5 / 86400000.0).millisecond, 4);
    // Values outside the calendar are held at its ends instead of crashing.
    EXPECT_EQ(fmt("yyyy", std::nan("")), "1899");
    EXPECT_EQ(fmt("yyyy", 1e300), "9999");
    EXPECT_EQ(fmt("yyyy", -1e300), "0001");
}

TEST(DateTimeFormatTest, SystemPatternsAndTokens)
{
    EXPECT_EQ(fmt("dd/mm/yy hh:mm:ss"), "07/03/26 09:05:03");
    EXPECT_EQ(fmt("yyyy/mm/dd"), "2026/03/07");
    EXPECT_EQ(fmt("dd/mm/yyyy "), "07/03/2026 ");
    EXPECT_EQ(fmt("dd/mm hh:nn"), "07/03 09:05");
    EXPECT_EQ(fmt("dd/mmm/yyyy:hh:mm:ss"), "07/Mar/2026:09:05:03");
    EXPECT_EQ(fmt("hh:mm)"), "09:05)");
    EXPECT_EQ(fmt("d m y h n s"), "7 3 26 9 5 3");
    EXPECT_EQ(fmt("DD-MM-YYY hhh"), "07-03-2026 09");
    EXPECT_EQ(fmt("dD"), "77");
    EXPECT_EQ(fmt("hh:nn mm"), "09:05 03");  // after minutes, mm is the month again
    EXPECT_EQ(fmt("mm hh"), "03 09");
    EXPECT_EQ(fmt("'dd' dd"), "dd 07");
    EXPECT_EQ(fmt("yyyy/mm/dd", encodeDate(987, 6, 5)), "0987/06/05");
}

TEST(DateTimeFormatTest, SeparatorsMonthNamesAndCap)
{
    FormatSettings f = FormatSettings::fallback();
    f.dateSep = '.';
    EXPECT_EQ(fmt("dd/mm/yy hh:mm:ss", Sample, f), "07.03.26 09:05:03");
    EXPECT_EQ(fmt("dd-mm yy", Sample, f), "07-03 26");
    f.dateSep = '\0';
    f.timeSep = '\0';
    f.monthAbbrevs[2] = "mars";
    EXPECT_EQ(fmt("dd/mmm hh:nn", Sample, f), "07mars 0905");
    EXPECT_EQ(fmt(std::string(300, '-')).size(), 256u);
    EXPECT_EQ(fmt(std::string(255, '-') + "yyyy"), std::string(255, '-') + "2");
}

TEST(DateTimeFormatTest, AddSecondsAndClock)
{
    const DateTime t = encodeDate(2026, 3, 7) + encodeTime(23, 59, 30, 0);
    EXPECT_EQ(fmt("dd/mm hh:nn:ss", addSeconds(t, 60)), "08/03 00:00:30");
    EXPECT_EQ(fmt("hh:nn:ss", addSeconds(Sample, 3600)), "10:05:03");
    EXPECT_EQ(fmt("dd hh:nn", addSeconds(t, -86400)), "06 23:59");
    EXPECT_EQ(addSeconds(Sample, 0), Sample);
    const std::time_t raw = std::time(nullptr);
    std::tm local{};
    localtime_r(&raw, &local);
    const DateTime today = encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    EXPECT_GE(clockNow(), today - 1);
    EXPECT_LT(clockNow(), today + 2);
}
