// The one-pass marker index must answer exactly as plain substring searches from the page's start.
#include <gtest/gtest.h>

#include "board/MarkerIndex.h"
#include "tests/browser/Fakes.h"
#include "text/Text.h"
#include "tests/support/DayPageProbes.h"

using namespace quorvane;

TEST(MarkerIndex, AgreesWithSubstringSearch)
{
    std::vector<std::string> pages = {"", "=meetingNum", "x=meetingNum12 =meetingNum1", "==meetingNum1=meetingNum1",
                                      "meetingNum1 =meetingNum10 =meetingNum2", "meetingNum1meetingNum2meetingNum3",
                                      // the word ends with the letter it starts with: overlaps
                                      "meetingNumeetingNum2 =meetingNumeetingNum1"};
    for (const char* file : {"two-meetings.html", "mixed.html", "ten-before-one.html", "numbering-gap.html"})
        pages.push_back(readDayPage(file));
    for (const auto& page : pages) {
        const MarkerIndex index(page, "meetingNum");
        int n = 0;
        while (textPos("meetingNum" + intToText(n + 1), page) > 0) ++n;
        EXPECT_EQ(index.countNumbered(), n) << page;
        for (int r = 0; r <= 12; ++r) {
            EXPECT_EQ(index.contains(intToText(r)), textPos("meetingNum" + intToText(r), page) > 0) << page;
            EXPECT_EQ(index.firstAfterEquals(intToText(r)), textPos("=meetingNum" + intToText(r), page)) << page;
        }
    }
}
