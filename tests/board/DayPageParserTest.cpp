// The day-page parser: the statuses of tests/data/daypages/status-cases.tsv (page, hour of
// 6 Dec 2026, leave tag, status, log line), the errors that end a parse with what was composed
// so far, and independence from the regional date order.
#include <gtest/gtest.h>

#include <sstream>

#include "board/DayPageParser.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"
#include "tests/support/DayPageProbes.h"

namespace {

constexpr DateTime day = 46362;  // 6 December 2026

struct ParserTest : ::testing::Test {
    FormatSettings saved = *localeFormats();
    RecordingLog log;
    void SetUp() override { setLocaleFormats(FormatSettings::dayMonthYear()); }
    void TearDown() override { setLocaleFormats(saved); }
    std::string parse(const std::string& page, double hours, const std::string& tag = "")
    {
        std::string status;
        parseDayPage(page, day + hours / 24, tag, status, log);
        return status;
    }
};

TEST_F(ParserTest, StatusOfFixturePages)
{
    std::istringstream cases(readDayPage("status-cases.tsv"));
    int count = 0;
    for (std::string line; std::getline(cases, line); ++count) {
        std::vector<std::string> f;
        for (std::size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
            tab = line.find('\t', start);
            f.push_back(line.substr(start, tab - start));
        }
        ASSERT_EQ(f.size(), 5u) << line;
        EXPECT_EQ(parse(readDayPage(f[0]), std::stod(f[1]), f[2]), f[3]) << f[0] << " at " << f[1];
        if (!f[4].empty()) {
            EXPECT_EQ(log.lines.back(), f[4]) << f[0];
        }
    }
    EXPECT_EQ(count, 20);
}

TEST_F(ParserTest, InlineMeetings)
{
    EXPECT_EQ(parse("<BODY>Please log in</BODY>", 10), "");
    EXPECT_EQ(log.lines.back(), "Result: Meetings: 0, Day Events: 0");
    // An empty first description still opens the status; later entries become "Also" notes.
    EXPECT_EQ(parse("=meetingNum1>x</A>09:00 - 10:00<BR></FONT>=meetingNum2>x</A>09:00 - 11:00<BR>B&nbsp;&nbsp;c</FONT>",
                    9.5),
              " until 10:00, <small>Also: B  c until 11:00</small>");
    // Only the first " - " divides; the time parser ignores what follows the end time.
    EXPECT_EQ(parse("=meetingNum1>x</A>09:00 - 10:00 - 11:00<BR>y</FONT>", 9.5), "y until 10:00");
    EXPECT_EQ(collectBlock("xx=meetingNum2 a</FONTb</FONT>tail", "=meetingNum", 2), "=meetingNum2 a</FONTb</FONT>");
}

TEST_F(ParserTest, ErrorsKeepWhatWasComposed)
{
    std::string status;
    try {
        parseDayPage(readDayPage("unclosed-block.html"), day + 9.5 / 24, "", status, log);
        FAIL();
    } catch (const RangeError& e) {
        EXPECT_EQ(e.message(), "Range check error");
    }
    EXPECT_EQ(status, "Fine until 10:00");
    status.clear();
    try {
        parseDayPage(readDayPage("bad-time.html"), day + 10.0 / 24, "", status, log);
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "'06/12/2026 :00' is not a valid date and time");
    }
    EXPECT_EQ(status, "In progress until 10:30");
    EXPECT_EQ(log.lines.back(), "Result: Meetings: 3, Day Events: 0..");
    // A counted meeting whose marker never follows "=".
    EXPECT_THROW(parse("name:meetingNum1>x</A>09:00 - 10:00<BR>y</FONT>", 9.5), RangeError);
}

TEST_F(ParserTest, MeetingTimesDoNotDependOnTheRegionalDateOrder)
{
    FormatSettings us = FormatSettings::fallback();
    us.shortDatePattern = "m/d/yy";
    us.dateSep = '-';
    us.timeSep = '.';
    setLocaleFormats(us);
    // 06/12 would read as June 12 here; the shown end time uses the regional separator.
    EXPECT_EQ(parse(readDayPage("two-meetings.html"), 10),
              "Budget review (Room 4) until 10.30, <small>Also: Lab meeting until 11.00</small>");
}

}  // namespace
