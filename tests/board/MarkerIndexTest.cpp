// The one-pass marker index must answer exactly as plain substring searches from the page's start.
#include <gtest/gtest.h>

#include "board/MarkerIndex.h"
#include "tests/browser/Fakes.h"
#include "text/Text.h"

namespace {

void ExpectSameAsSearch(const std::string& page, const std::string& word)
{
    const TMarkerIndex index(page, word);
    for (int r = 0; r <= 25; ++r) {
        const std::string digits = IntToText(r);
        EXPECT_EQ(index.Contains(digits), TextPos(word + digits, page) > 0) << page << " / " << r;
        EXPECT_EQ(index.FirstAfterEquals(digits), TextPos("=" + word + digits, page)) << page << " / " << r;
    }
    int n = 0;
    while (TextPos(word + IntToText(n + 1), page) > 0) ++n;
    EXPECT_EQ(index.CountNumbered(), n) << page;
}

TEST(MarkerIndex, AgreesWithSubstringSearch)
{
    for (const char* page : {"", "meetingNum", "meetingNum1", "=meetingNum1", "x=meetingNum12 =meetingNum1",
                             "meetingNum1 =meetingNum10 =meetingNum2", "meetingNumeetingNum2 =meetingNumeetingNum1",
                             "=meetingNum3 meetingNum2 meetingNum1", "==meetingNum1=meetingNum1",
                             "meetingNum1meetingNum2meetingNum3", "=meetingNum"}) {
        ExpectSameAsSearch(page, "meetingNum");
    }
    for (const char* file : {"two-meetings.html", "day-events.html", "mixed.html", "ten-before-one.html",
                             "numbering-gap.html", "keywords.html"}) {
        ExpectSameAsSearch(ReadDayPage(file), "meetingNum");
        ExpectSameAsSearch(ReadDayPage(file), "specialNum");
    }
}

TEST(MarkerIndex, OverlappingOccurrencesAreAllFound)
{
    // The word ends with the letter it starts with, so occurrences can overlap.
    const TMarkerIndex index("meetingNumeetingNum7", "meetingNum");
    EXPECT_TRUE(index.Contains("7"));
    EXPECT_TRUE(index.Contains("eetingNum7"));
}

}  // namespace
