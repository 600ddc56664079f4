// The one-pass marker index must answer exactly as plain substring searches from the page's start.
#include <gtest/gtest.h>

#include "board/MarkerIndex.h"
#include "tests/browser/Fakes.h"
#include "text/Text.h"

TEST(MarkerIndex, AgreesWithSubstringSearch)
{
    std::vector<std::string> pages = {"", "=meetingNum", "x=meetingNum12 =meetingNum1", "==meetingNum1=meetingNum1",
                                      "meetingNum1 =meetingNum10 =meetingNum2", "meetingNum1meetingNum2meetingNum3",
                                      // the word ends with the letter it starts with: overlaps
                                      "meetingNumeetingNum2 =meetingNumeetingNum1"};
    for (const char* file : {"two-meetings.html", "mixed.html", "ten-before-one.html", "numbering-gap.html"})
        pages.push_back(ReadDayPage(file));
    for (const auto& page : pages) {
        const TMarkerIndex index(page, "meetingNum");
        int n = 0;
        while (TextPos("meetingNum" + IntToText(n + 1), page) > 0) ++n;
        EXPECT_EQ(index.CountNumbered(), n) << page;
        for (int r = 0; r <= 12; ++r) {
            EXPECT_EQ(index.Contains(IntToText(r)), TextPos("meetingNum" + IntToText(r), page) > 0) << page;
            EXPECT_EQ(index.FirstAfterEquals(IntToText(r)), TextPos("=meetingNum" + IntToText(r), page)) << page;
        }
    }
}
