// TextToDateTime: the examples under both date orders, the scanning rules and the failures.
#include "text/DateTime.h"
#include "text/Errors.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TFormatSettings Mdy()
{
    TFormatSettings f = TFormatSettings::Fallback();
    f.ShortDatePattern = "M/d/yyyy";
    return f;
}

// The text parsed with a current year of 2026; -1 stands for the conversion error.
TDateTime Parse(std::string_view text, const TFormatSettings& f = TFormatSettings::DayMonthYear())
{
    try {
        return TextToDateTime(text, f, 2026);
    } catch (const EConvertError&) {
        return -1;
    }
}

struct Case {
    const char* Text;
    TDateTime Expected;
};

void ExpectAll(std::initializer_list<Case> cases, const TFormatSettings& f = TFormatSettings::DayMonthYear())
{
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(Parse(c.Text, f), c.Expected) << '"' << c.Text << '"';
    }
}

}  // namespace

TEST(DateTimeParseTest, ExamplesUnderBothOrders)
{
    ExpectAll({{"07/03/2026 09:05:00", At(2026, 3, 7, 9, 5)}, {"07/03/2026 09:05", At(2026, 3, 7, 9, 5)},
               {"7/3/26 9:5", At(2026, 3, 7, 9, 5)},          {"07/03/2026", At(2026, 3, 7)},
               {"07/03 14:30", At(2026, 3, 7, 14, 30)},       {"14:30", EncodeTime(14, 30, 0, 0)},
               {"07/03/2026 2:30 pm", At(2026, 3, 7, 14, 30)}, {"07/03/76 10:00", At(1976, 3, 7, 10)},
               {"07/03/2026 09:05:00 and further words", At(2026, 3, 7, 9, 5)},
               {"07/03/75 10:00", At(2075, 3, 7, 10)},        {"31/02/2026 10:00:00", -1},
               {"07/03/2026 24:00:00", -1},                   {"", -1}});
    ExpectAll({{"07/03/2026 09:05:00", At(2026, 7, 3, 9, 5)}, {"07/03 14:30", At(2026, 7, 3, 14, 30)},
               {"14:30", EncodeTime(14, 30, 0, 0)},          {"02/29/2028", At(2028, 2, 29)},
               {"02/29/2026", -1},                           {"31/02/2026", -1}},
              Mdy());
}

TEST(DateTimeParseTest, MessageHoldsTheWholeText)
{
    const TFormatSettings f = TFormatSettings::DayMonthYear();
    try {
        TextToDateTime("%s 50%d", f, 2026);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'%s 50%d' is not a valid date and time");
    }
    // Missing and two-digit years follow the current year.
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1/50", f, 2000), At(1950, 1, 1));
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1/49", f, 2000), At(2049, 1, 1));
    EXPECT_DOUBLE_EQ(TextToDateTime("1/1", f, 1999), At(1999, 1, 1));
}

TEST(DateTimeParseTest, DateOrderFromPattern)
{
    TFormatSettings f = TFormatSettings::DayMonthYear();
    f.DateSep = '-';
    for (auto [pattern, text] : {std::pair{"yyyy-MM-dd", "2026-03-07"}, {"e/M/d", "26-3-7"},
                                 {"--", "3-7-2026"}, {"DD-MM", "7-3"}, {"Md", "3-7"}}) {
        f.ShortDatePattern = pattern;
        EXPECT_DOUBLE_EQ(Parse(text, f), At(2026, 3, 7)) << pattern;
    }
}

TEST(DateTimeParseTest, ScanningRules)
{
    ExpectAll({// blanks around numbers and separators, but no tabs
               {"07 / 03 / 2026 09 : 05", At(2026, 3, 7, 9, 5)}, {"  07/03/2026  ", At(2026, 3, 7)},
               {" 14 : 30 ", EncodeTime(14, 30, 0, 0)}, {"07/03/2026\t09:05", -1}, {"\t14:30", -1},
               // at most four significant digits; what is left reads on
               {"07/03/0026", At(26, 3, 7)}, {"007/03/2026", At(2026, 3, 7)},
               {"07/03/20261", At(2026, 3, 7, 1)}, {"07/03/12345", At(1234, 3, 7, 5)},
               {"07/03/2026 10:00:00.5", At(2026, 3, 7, 10, 0, 0, 5)}, {"10:00:00.1234", -1}, {"10:00:00.", -1},
               // a time alone must take the whole text; a date needs a valid time after it
               {"9", EncodeTime(9, 0, 0, 0)}, {"14:30 tomorrow", -1}, {"07/03/2026 soon", -1},
               {"07/03/2026 09:", -1}, {"07/03/", -1}, {"14:60", -1}, {"00/03/2026", -1}, {"07/13/2026", -1}});
}

TEST(DateTimeParseTest, Designators)
{
    ExpectAll({{"12 am", 0.0}, {"12:15 PM", EncodeTime(12, 15, 0, 0)}, {"pm 1:00", EncodeTime(13, 0, 0, 0)},
               {"AM 11:59", EncodeTime(11, 59, 0, 0)}, {"13:00 pm", -1}, {"0:30 am", -1}});
    TFormatSettings f = TFormatSettings::DayMonthYear();
    f.AmDesignator = "";
    f.PmDesignator = "nachm.";
    ExpectAll({{"3:00 NACHM.", EncodeTime(15, 0, 0, 0)}, {"3:00 pm", EncodeTime(15, 0, 0, 0)},
               {"3:00 am", EncodeTime(3, 0, 0, 0)}},
              f);
}

TEST(DateTimeParseTest, SeparatorsFromSettings)
{
    TFormatSettings f = TFormatSettings::DayMonthYear();
    f.DateSep = '.';
    f.TimeSep = '.';
    f.DecimalSep = ',';
    ExpectAll({{"07.03.2026 09.05.03,456", At(2026, 3, 7, 9, 5, 3, 456)}, {"07/03/2026", -1},
               {"07.03.2026. 10.00", At(2026, 3, 7, 10)}},
              f);
    // The board's own meeting texts read back exactly.
    const std::string text = DateTimeToText("dd/mm/yyyy ", At(2026, 12, 31), TFormatSettings::DayMonthYear());
    EXPECT_DOUBLE_EQ(Parse(text + "23:59"), At(2026, 12, 31, 23, 59));
}
