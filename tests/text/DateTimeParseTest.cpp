// TextToDateTime: the examples under both date orders, the scanning rules and the failures.
#include "text/DateTime.h"
#include "text/Errors.h"

#include <gtest/gtest.h>

namespace {

constexpr int kYear = 2026;

TFormatSettings Dmy()
{
    return TFormatSettings::DayMonthYear();
}

TFormatSettings Mdy()
{
    TFormatSettings f = TFormatSettings::Fallback();
    f.ShortDatePattern = "M/d/yyyy";
    return f;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TDateTime Parse(std::string_view text, const TFormatSettings& f = Dmy())
{
    return TextToDateTime(text, f, kYear);
}

std::string ParseError(std::string_view text, const TFormatSettings& f = Dmy())
{
    try {
        Parse(text, f);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(DateTimeParseTest, ExamplesDayMonthYear)
{
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 09:05:00"), At(2026, 3, 7, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 09:05"), At(2026, 3, 7, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("7/3/26 9:5"), At(2026, 3, 7, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026"), At(2026, 3, 7));
    EXPECT_DOUBLE_EQ(Parse("07/03 14:30"), At(2026, 3, 7, 14, 30));
    EXPECT_DOUBLE_EQ(Parse("14:30"), EncodeTime(14, 30, 0, 0));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 2:30 pm"), At(2026, 3, 7, 14, 30));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 09:05:00 and further words"), At(2026, 3, 7, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03/76 10:00"), At(1976, 3, 7, 10));
    EXPECT_DOUBLE_EQ(Parse("07/03/75 10:00"), At(2075, 3, 7, 10));
    EXPECT_EQ(ParseError("31/02/2026 10:00:00"), "'31/02/2026 10:00:00' is not a valid date and time");
    EXPECT_EQ(ParseError("07/03/2026 24:00:00"), "'07/03/2026 24:00:00' is not a valid date and time");
    EXPECT_EQ(ParseError(""), "'' is not a valid date and time");
}

TEST(DateTimeParseTest, ExamplesMonthDayYear)
{
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 09:05:00", Mdy()), At(2026, 7, 3, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("7/3/26 9:5", Mdy()), At(2026, 7, 3, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03 14:30", Mdy()), At(2026, 7, 3, 14, 30));
    EXPECT_DOUBLE_EQ(Parse("03/07/2026 2:30 pm", Mdy()), At(2026, 3, 7, 14, 30));
    EXPECT_DOUBLE_EQ(Parse("14:30", Mdy()), EncodeTime(14, 30, 0, 0));
    EXPECT_DOUBLE_EQ(Parse("02/29/2028", Mdy()), At(2028, 2, 29));
    EXPECT_NE(ParseError("31/02/2026", Mdy()), "no error");
    EXPECT_NE(ParseError("02/29/2026", Mdy()), "no error");
}

TEST(DateTimeParseTest, DateOrderFromPattern)
{
    TFormatSettings f = Dmy();
    f.ShortDatePattern = "yyyy-MM-dd";
    f.DateSep = '-';
    EXPECT_DOUBLE_EQ(Parse("2026-03-07 09:05", f), At(2026, 3, 7, 9, 5));
    f.ShortDatePattern = "e/M/d";
    EXPECT_DOUBLE_EQ(Parse("26-3-7", f), At(2026, 3, 7));
    f.ShortDatePattern = "--";  // no order letter: month first
    EXPECT_DOUBLE_EQ(Parse("3-7-2026", f), At(2026, 3, 7));
    f.ShortDatePattern = "DD-MM";
    EXPECT_DOUBLE_EQ(Parse("7-3", f), At(2026, 3, 7));
}

TEST(DateTimeParseTest, BlanksButNotTabs)
{
    EXPECT_DOUBLE_EQ(Parse("07 / 03 / 2026 09 : 05"), At(2026, 3, 7, 9, 5));
    EXPECT_DOUBLE_EQ(Parse("  07/03/2026  "), At(2026, 3, 7));
    EXPECT_DOUBLE_EQ(Parse(" 14 : 30 "), EncodeTime(14, 30, 0, 0));
    EXPECT_NE(ParseError("07/03/2026\t09:05"), "no error");
    EXPECT_NE(ParseError("\t14:30"), "no error");
    EXPECT_NE(ParseError("07\t/03/2026"), "no error");
}

TEST(DateTimeParseTest, NumbersTakeFourSignificantDigits)
{
    EXPECT_DOUBLE_EQ(Parse("07/03/0026"), At(26, 3, 7));  // four characters: no widening
    EXPECT_DOUBLE_EQ(Parse("007/03/2026"), At(2026, 3, 7));
    // 20261 reads as 2026, and the 1 left over reads as the hour.
    EXPECT_DOUBLE_EQ(Parse("07/03/20261"), At(2026, 3, 7, 1));
    EXPECT_DOUBLE_EQ(Parse("07/03/12345"), At(1234, 3, 7, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 10:00:00.5"), At(2026, 3, 7, 10, 0, 0, 5));
    EXPECT_DOUBLE_EQ(Parse("07/03/2026 10:00:00.999"), At(2026, 3, 7, 10, 0, 0, 999));
    EXPECT_NE(ParseError("10:00:00.1234"), "no error");
    EXPECT_NE(ParseError("10:00:00."), "no error");
}

TEST(DateTimeParseTest, TwoDigitYearsFollowTheCurrentYear)
{
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1/50", Dmy(), 2000), At(1950, 1, 1));
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1/49", Dmy(), 2000), At(2049, 1, 1));
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1/5", Dmy(), 2026), At(2005, 1, 1));
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1", Dmy(), 1999), At(1999, 1, 1));
}

TEST(DateTimeParseTest, Designators)
{
    EXPECT_DOUBLE_EQ(Parse("12 am"), 0.0);
    EXPECT_DOUBLE_EQ(Parse("12:15 PM"), EncodeTime(12, 15, 0, 0));
    EXPECT_DOUBLE_EQ(Parse("pm 1:00"), EncodeTime(13, 0, 0, 0));
    EXPECT_DOUBLE_EQ(Parse("AM 11:59"), EncodeTime(11, 59, 0, 0));
    EXPECT_NE(ParseError("13:00 pm"), "no error");
    EXPECT_NE(ParseError("0:30 am"), "no error");
    TFormatSettings f = Dmy();
    f.AmDesignator = "vorm.";
    f.PmDesignator = "nachm.";
    EXPECT_DOUBLE_EQ(Parse("3:00 NACHM.", f), EncodeTime(15, 0, 0, 0));
    EXPECT_DOUBLE_EQ(Parse("3:00 pm", f), EncodeTime(15, 0, 0, 0));  // the fixed PM still counts
    f.AmDesignator = "";
    EXPECT_DOUBLE_EQ(Parse("3:00 am", f), EncodeTime(3, 0, 0, 0));
}

TEST(DateTimeParseTest, TimeAloneMustTakeTheWholeText)
{
    EXPECT_DOUBLE_EQ(Parse("9"), EncodeTime(9, 0, 0, 0));
    EXPECT_NE(ParseError("14:30 tomorrow"), "no error");
    EXPECT_NE(ParseError("07/03/2026 soon"), "no error");
    EXPECT_NE(ParseError("07/03/2026 09:"), "no error");
    EXPECT_NE(ParseError("07/03/"), "no error");
    EXPECT_NE(ParseError("14:60"), "no error");
    EXPECT_NE(ParseError("00/03/2026"), "no error");
    EXPECT_NE(ParseError("07/13/2026"), "no error");
    EXPECT_EQ(ParseError("%s 50%d"), "'%s 50%d' is not a valid date and time");
}

TEST(DateTimeParseTest, SettingsSeparators)
{
    TFormatSettings f = Dmy();
    f.DateSep = '.';
    f.TimeSep = '.';
    f.DecimalSep = ',';
    EXPECT_DOUBLE_EQ(Parse("07.03.2026 09.05.03,456", f), At(2026, 3, 7, 9, 5, 3, 456));
    EXPECT_NE(ParseError("07/03/2026", f), "no error");
    // A trailing date separator after the year is taken.
    EXPECT_DOUBLE_EQ(Parse("07.03.2026. 10.00", f), At(2026, 3, 7, 10));
}

TEST(DateTimeParseTest, RoundTripsTheBoardsOwnTexts)
{
    const TDateTime t = At(2026, 12, 31, 23, 59);
    const std::string text = DateTimeToText("dd/mm/yyyy ", t, Dmy()) + "23:59";
    EXPECT_DOUBLE_EQ(Parse(text), t);
    EXPECT_EQ(DateTimeToText("dd/mm/yyyy hh:nn", Parse(text), Dmy()), "31/12/2026 23:59");
}
