// textToDateTime: the examples under both date orders, the scanning rules and the failures.
#include "text/DateTime.h"
#include "text/Errors.h"

#include <gtest/gtest.h>

using namespace quorvane;

namespace {

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return encodeDate(y, mo, d) + encodeTime(h, mi, s, ms);
}

FormatSettings mdy()
{
    FormatSettings f = FormatSettings::fallback();
    f.shortDatePattern = "M/d/yyyy";
    return f;
}

// The text parsed with a current year of 2026; -1 stands for the conversion error.
DateTime parse(std::string_view text, const FormatSettings& f = FormatSettings::dayMonthYear())
{
    try {
        return textToDateTime(text, f, 2026);
    } catch (const ConvertError&) {
        return -1;
    }
}

struct Case {
    const char* text;
    DateTime expected;
};

void expectAll(std::initializer_list<Case> cases, const FormatSettings& f = FormatSettings::dayMonthYear())
{
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(parse(c.text, f), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace

TEST(DateTimeParseTest, ExamplesUnderBothOrders)
{
    expectAll({{"07/03/2026 09:05:00", at(2026, 3, 7, 9, 5)}, {"07/03/2026 09:05", at(2026, 3, 7, 9, 5)},
               {"7/3/26 9:5", at(2026, 3, 7, 9, 5)},          {"07/03/2026", at(2026, 3, 7)},
               {"07/03 14:30", at(2026, 3, 7, 14, 30)},       {"14:30", encodeTime(14, 30, 0, 0)},
               {"07/03/2026 2:30 pm", at(2026, 3, 7, 14, 30)}, {"07/03/76 10:00", at(1976, 3, 7, 10)},
               {"07/03/2026 09:05:00 and further words", at(2026, 3, 7, 9, 5)},
               {"07/03/75 10:00", at(2075, 3, 7, 10)},        {"31/02/2026 10:00:00", -1},
               {"07/03/2026 24:00:00", -1},                   {"", -1}});
    expectAll({{"07/03/2026 09:05:00", at(2026, 7, 3, 9, 5)}, {"07/03 14:30", at(2026, 7, 3, 14, 30)},
               {"14:30", encodeTime(14, 30, 0, 0)},          {"02/29/2028", at(2028, 2, 29)},
               {"02/29/2026", -1},                           {"31/02/2026", -1}},
              mdy());
}

TEST(DateTimeParseTest, MessageHoldsTheWholeText)
{
    const FormatSettings f = FormatSettings::dayMonthYear();
    try {
        textToDateTime("%s 50%d", f, 2026);
        ADD_FAILURE();
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'%s 50%d' is not a valid date and time");
    }
    // Missing and two-digit years follow the current year.
    EXPECT_DOUBLE_EQ(textToDateTime("1/1/50", f, 2000), at(1950, 1, 1));
    EXPECT_DOUBLE_EQ(textToDateTime("1/1/49", f, 2000), at(2049, 1, 1));
    EXPECT_DOUBLE_EQ(textToDateTime("1/1", f, 1999), at(1999, 1, 1));
}

TEST(DateTimeParseTest, DateOrderFromPattern)
{
    FormatSettings f = FormatSettings::dayMonthYear();
    f.dateSep = '-';
    for (auto [pattern, text] : {std::pair{"yyyy-MM-dd", "2026-03-07"}, {"e/M/d", "26-3-7"},
                                 {"--", "3-7-2026"}, {"DD-MM", "7-3"}, {"Md", "3-7"}}) {
        f.shortDatePattern = pattern;
        EXPECT_DOUBLE_EQ(parse(text, f), at(2026, 3, 7)) << pattern;
    }
}

TEST(DateTimeParseTest, ScanningRules)
{
    expectAll({// blanks around numbers and separators, but no tabs
               {"07 / 03 / 2026 09 : 05", at(2026, 3, 7, 9, 5)}, {"  07/03/2026  ", at(2026, 3, 7)},
               {" 14 : 30 ", encodeTime(14, 30, 0, 0)}, {"07/03/2026\t09:05", -1}, {"\t14:30", -1},
               // at most four significant digits; what is left reads on
               {"07/03/0026", at(26, 3, 7)}, {"007/03/2026", at(2026, 3, 7)},
               {"07/03/20261", at(2026, 3, 7, 1)}, {"07/03/12345", at(1234, 3, 7, 5)},
               {"07/03/2026 10:00:00.5", at(2026, 3, 7, 10, 0, 0, 5)}, {"10:00:00.1234", -1}, {"10:00:00.", -1},
               // a time alone must take the whole text; a date needs a valid time after it
               {"9", encodeTime(9, 0, 0, 0)}, {"14:30 tomorrow", -1}, {"07/03/2026 soon", -1},
               {"07/03/2026 09:", -1}, {"07/03/", -1}, {"14:60", -1}, {"00/03/2026", -1}, {"07/13/2026", -1}});
}

TEST(DateTimeParseTest, Designators)
{
    expectAll({{"12 am", 0.0}, {"12:15 PM", encodeTime(12, 15, 0, 0)}, {"pm 1:00", encodeTime(13, 0, 0, 0)},
               {"AM 11:59", encodeTime(11, 59, 0, 0)}, {"13:00 pm", -1}, {"0:30 am", -1}});
    FormatSettings f = FormatSettings::dayMonthYear();
    f.amDesignator = "";
    f.pmDesignator = "nachm.";
    expectAll({{"3:00 NACHM.", encodeTime(15, 0, 0, 0)}, {"3:00 pm", encodeTime(15, 0, 0, 0)},
               {"3:00 am", encodeTime(3, 0, 0, 0)}},
              f);
}

TEST(DateTimeParseTest, SeparatorsFromSettings)
{
    FormatSettings f = FormatSettings::dayMonthYear();
    f.dateSep = '.';
    f.timeSep = '.';
    f.decimalSep = ',';
    expectAll({{"07.03.2026 09.05.03,456", at(2026, 3, 7, 9, 5, 3, 456)}, {"07/03/2026", -1},
               {"07.03.2026. 10.00", at(2026, 3, 7, 10)}},
              f);
    // The board's own meeting texts read back exactly.
    const std::string text = dateTimeToText("dd/mm/yyyy ", at(2026, 12, 31), FormatSettings::dayMonthYear());
    EXPECT_DOUBLE_EQ(parse(text + "23:59"), at(2026, 12, 31, 23, 59));
}
