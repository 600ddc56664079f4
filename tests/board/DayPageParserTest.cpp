// The day-page reader: the statuses of tests/data/daypages/status-cases.tsv (page, hour of
// 6 Dec 2026, leave tag, the classic cell, log line), the record beside the cell, the errors that
// end a read, and independence from the regional date order.
#include <gtest/gtest.h>

#include <sstream>

#include "board/DayPageParser.h"
#include "pages/StatusCell.h"
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
    PersonStatus read(const std::string& page, double hours, const std::string& tag = "")
    {
        return readDayPage(page, instantOfLocal(day + hours / 24), tag, log);
    }
    std::string parse(const std::string& page, double hours, const std::string& tag = "")
    {
        return classicStatusHtml(read(page, hours, tag));
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

TEST_F(ParserTest, RecordBesideTheCell)
{
    const PersonStatus status = read(readDayPage("mixed.html"), 10, "K Lee");
    EXPECT_EQ(status.state, PersonState::Leave);  // one of the notes is their leave
    ASSERT_EQ(status.notes.size(), 2u);
    EXPECT_EQ(status.notes[0].text.html, "Early finish<BR>(dentist)");
    EXPECT_EQ(status.notes[0].text.plain, "Early finish, (dentist)");
    EXPECT_EQ(status.notes[0].kind, NoteKind::Early);
    EXPECT_EQ(status.notes[1].kind, NoteKind::Leave);
    const PersonStatus two = read(readDayPage("two-meetings.html"), 10);
    EXPECT_EQ(two.state, PersonState::Meeting);
    ASSERT_EQ(two.meetings.size(), 2u);
    EXPECT_EQ(two.meetings[0].description.plain, "Budget review (Room 4)");
    EXPECT_EQ(two.meetings[0].end, instantOfLocal(day + 10.5 / 24));
    EXPECT_EQ(read("<BODY></BODY>", 10).state, PersonState::Free);
}

TEST_F(ParserTest, ErrorsEndTheRead)
{
    try {
        read(readDayPage("unclosed-block.html"), 9.5);
        FAIL();
    } catch (const RangeError& e) {
        EXPECT_EQ(e.message(), "Range check error");
    }
    try {
        read(readDayPage("bad-time.html"), 10.0);
        FAIL();
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), "'06/12/2026 :00' is not a valid date and time");
    }
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
