// The day-page parser on fixture pages: meetings in progress, keywords, day-event notes, marker
// numbering, and the errors that end a parse with what was composed so far.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "tests/browser/Fakes.h"
#include "text/Errors.h"

namespace {

constexpr TDateTime Day = 46362;  // 6 December 2026

TDateTime At(int hour, int minute)
{
    return Day + EncodeTime(hour, minute, 0, 0);
}

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = *LocaleFormats();
        SetLocaleFormats(TFormatSettings::DayMonthYear());
    }
    void TearDown() override { SetLocaleFormats(saved_); }

    std::string Parse(const std::string& page, TDateTime now, const std::string& leaveTag = "")
    {
        std::string status;
        ParseDayPage(page, now, leaveTag, status, log);
        return status;
    }

    TRecordingLog log;
    TFormatSettings saved_;
};

TEST_F(ParserTest, WorkedExampleTwoMeetingsInProgress)
{
    const std::string page = ReadDayPage("two-meetings.html");
    EXPECT_EQ(Parse(page, At(10, 0)),
              "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Result: Meetings: 2, Day Events: 0.."});
    // The same cached page a minute after the first meeting ended.
    EXPECT_EQ(Parse(page, At(10, 31)), "Lab meeting until 11:00");
}

TEST_F(ParserTest, StartIsExclusiveEndIsInclusive)
{
    const std::string page = ReadDayPage("two-meetings.html");
    EXPECT_EQ(Parse(page, At(9, 0)), "");
    EXPECT_EQ(Parse(page, At(9, 30)), "Budget review (Room 4) until 10:30");
    EXPECT_EQ(Parse(page, At(10, 30)),
              "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>");
    EXPECT_EQ(Parse(page, At(11, 1)), "");
    // Times of another day do not count: the meetings are read on NowTime's date.
    EXPECT_EQ(Parse(page, Day + 1 + EncodeTime(10, 0, 0, 0)),
              "Budget review (Room 4) until 10:30, <small>Also: Lab meeting until 11:00</small>");
}

TEST_F(ParserTest, MeetingPastMidnightEndsNextDay)
{
    const std::string page = ReadDayPage("midnight.html");
    EXPECT_EQ(Parse(page, At(23, 0)), "Night run until 02:00");
    EXPECT_EQ(Parse(page, At(21, 0)), "");
    EXPECT_EQ(Parse(page, At(1, 0)), "");
}

TEST_F(ParserTest, KeywordsDropTheUntilSuffix)
{
    EXPECT_EQ(Parse(ReadDayPage("keywords.html"), At(10, 0)),
              "Annual Leave, <small>Also: BANK HOLIDAY</small>, <small>Also: Early Shift</small>, "
              "<small>Also: Interviews (X)</small>, <small>Also: Workshop until 17:00</small>");
    EXPECT_EQ(Parse(ReadDayPage("keywords.html"), At(18, 0)), "");
}

TEST_F(ParserTest, DayEventWorkedExample)
{
    const std::string page = ReadDayPage("day-events.html");
    EXPECT_EQ(Parse(page, At(10, 0), "J Smith"),
              "<small>Note: Leave - J Smith</small><br><small>Note: Bank Holiday</small>");
    EXPECT_EQ(log.Lines.back(), "Result: Meetings: 0, Day Events: 4....");
    // Without a tag, or with the tag in other letter case, no leave entry is shown.
    EXPECT_EQ(Parse(page, At(10, 0), ""), "<small>Note: Bank Holiday</small>");
    EXPECT_EQ(Parse(page, At(10, 0), "J SMITH"), "<small>Note: Bank Holiday</small>");
}

TEST_F(ParserTest, NotesFollowMeetingsAndKeepTheirLineBreaks)
{
    const std::string page = ReadDayPage("mixed.html");
    EXPECT_EQ(Parse(page, At(13, 30), "K Lee"),
              "Design review, Room 2 until 14:00<br><small>Note: Early finish<BR>(dentist)</small>"
              "<br><small>Note: Annual leave, early return - K Lee</small>");
    EXPECT_EQ(Parse(page, At(16, 0), "J Smith"), "<small>Note: Early finish<BR>(dentist)</small>");
}

TEST_F(ParserTest, NoMarkersLeavesStatusEmpty)
{
    EXPECT_EQ(Parse("<BODY>Please log in</BODY>", At(10, 0)), "");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"Result: Meetings: 0, Day Events: 0"});
}

TEST_F(ParserTest, NumberingGapEndsTheCount)
{
    EXPECT_EQ(CountNumbered(ReadDayPage("numbering-gap.html"), "meetingNum"), 1);
    EXPECT_EQ(Parse(ReadDayPage("numbering-gap.html"), At(9, 30)), "First until 10:00");
    EXPECT_EQ(log.Lines.back(), "Result: Meetings: 1, Day Events: 0.");
}

TEST_F(ParserTest, MarkerOneIsFoundInsideMarkerTen)
{
    const std::string page = ReadDayPage("ten-before-one.html");
    EXPECT_EQ(CountNumbered(page, "meetingNum"), 1);
    // Both searches are plain substring searches: meeting 1 reads the block of meeting 10.
    EXPECT_EQ(Parse(page, At(9, 30)), "Tenth until 10:00");
    EXPECT_EQ(CountNumbered("meetingNum10", "meetingNum"), 1);
}

TEST_F(ParserTest, UnclosedBlockRaisesRangeErrorKeepingEarlierStatus)
{
    std::string status;
    try {
        ParseDayPage(ReadDayPage("unclosed-block.html"), At(9, 30), "", status, log);
        FAIL() << "no ERangeError";
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), "Range check error");
    }
    EXPECT_EQ(status, "Fine until 10:00");
}

TEST_F(ParserTest, CountedMeetingWithoutBlockMarkerRaisesRangeError)
{
    // "meetingNum1" occurs, but never after "=".
    EXPECT_THROW(Parse("<A name:meetingNum1>x</A>09:00 - 10:00<BR>y</FONT>", At(9, 30)), ERangeError);
    EXPECT_THROW(CollectBlock("abc", "=meetingNum", 1), ERangeError);
}

TEST_F(ParserTest, UnreadableTimeAnywhereEndsTheParse)
{
    std::string status;
    try {
        ParseDayPage(ReadDayPage("bad-time.html"), At(10, 0), "", status, log);
        FAIL() << "no EConvertError";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'06/12/2026 :00' is not a valid date and time");
    }
    EXPECT_EQ(status, "In progress until 10:30");
    EXPECT_EQ(log.Lines.back(), "Result: Meetings: 3, Day Events: 0..");
}

TEST_F(ParserTest, BlockRunsToFirstCompleteFontEnd)
{
    EXPECT_EQ(CollectBlock("xx=meetingNum2 a</FONTb</FONT>tail", "=meetingNum", 2), "=meetingNum2 a</FONTb</FONT>");
}

TEST_F(ParserTest, EmptyDescriptionStillCountsAsFirstEntry)
{
    const std::string page =
        "<A name=meetingNum1>x</A>09:00 - 10:00<BR></FONT>"
        "<A name=meetingNum2>x</A>09:00 - 11:00<BR>B&nbsp;&nbsp;side</FONT>";
    EXPECT_EQ(Parse(page, At(9, 30)), " until 10:00, <small>Also: B  side until 11:00</small>");
}

TEST_F(ParserTest, OnlyTheFirstSeparatorDividesTheTimes)
{
    // The end text keeps the second " - "; the time parser reads 10:00 and ignores the rest.
    EXPECT_EQ(Parse("<A name=meetingNum1>x</A>09:00 - 10:00 - 11:00<BR>y</FONT>", At(9, 30)), "y until 10:00");
}

TEST_F(ParserTest, MeetingTimesReadTheSameUnderAnyRegionalDateOrder)
{
    TFormatSettings us = TFormatSettings::Fallback();
    us.ShortDatePattern = "m/d/yy";
    us.DateSep = '-';
    us.TimeSep = '.';
    SetLocaleFormats(us);
    // 06/12 would be June 12 under the regional order; the suffix shows the regional separator.
    EXPECT_EQ(Parse(ReadDayPage("two-meetings.html"), At(10, 0)),
              "Budget review (Room 4) until 10.30, <small>Also: Lab meeting until 11.00</small>");
}

TEST_F(ParserTest, DayEventWindowAndMissingTextStart)
{
    std::string status;
    // No "-1>": the description starts at the window's third character.
    AddDayEvent(status, "=specialNum1 abcdeHoliday</FONT>", "");
    EXPECT_EQ(status, "<small>Note: deHoliday</small>");

    // A block longer than the window loses its closing tag: passed over silently.
    status.clear();
    const std::string longBlock = "=specialNum1 x<FONT size=-1>Holiday " + std::string(1000, 'y') + "</FONT>";
    AddDayEvent(status, longBlock, "");
    EXPECT_EQ(status, "");
    const std::string fitting = "=specialNum1 x<FONT size=-1>Holiday " + std::string(970, 'y') + "</FONT>";
    AddDayEvent(status, fitting, "");
    EXPECT_EQ(status, "<small>Note: Holiday " + std::string(970, 'y') + "</small>");
}

TEST_F(ParserTest, DayEventKeywordsAreSubstrings)
{
    const auto note = [](const std::string& text, const std::string& tag = "") {
        std::string status;
        AddDayEvent(status, "=specialNum1 x<FONT size=-1>" + text + "</FONT>", tag);
        return status;
    };
    EXPECT_EQ(note("Working late"), "<small>Note: Working late</small>");
    EXPECT_EQ(note("Pearl"), "<small>Note: Pearl</small>");
    EXPECT_EQ(note("Leaving early"), "<small>Note: Leaving early</small>");
    EXPECT_EQ(note("Annual leave, early return"), "");  // leave without the tag
    EXPECT_EQ(note("Annual leave, early return - Bo", "Bo"), "<small>Note: Annual leave, early return - Bo</small>");
    EXPECT_EQ(note("HOLIDAY&nbsp;Monday"), "<small>Note: HOLIDAY Monday</small>");
    EXPECT_EQ(note("Holiday, leave - Al", "Bo"), "");
    EXPECT_EQ(note("Team lunch"), "");
}

}  // namespace
