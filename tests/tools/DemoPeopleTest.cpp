// examples/demo/people.txt loads with the board's roster loader and names the server's people.
#include <gtest/gtest.h>

#include "board/Roster.h"
#include "text/Strings.h"
#include "tools/democal/DemoPeople.h"

TEST(DemoPeopleTest, RosterFileLoadsAndMatchesTheServersPeople) {
    TRoster roster;
    ASSERT_NO_THROW(LoadRoster(roster, QUORVANE_DEMO_PEOPLE));
    ASSERT_GE(roster.Count(), 6);
    ASSERT_LE(roster.Count(), 10);
    ASSERT_EQ(static_cast<std::size_t>(roster.Count()), DemoPeople().size());
    TStringList lines, fields;
    lines.LoadFromFile(QUORVANE_DEMO_PEOPLE);
    bool accented = false;
    for (int i = 0; i < roster.Count(); ++i) {
        fields.SetCommaText(lines.Get(i));
        EXPECT_EQ(fields.Count(), 3) << lines.Get(i);
        const DemoPerson& person = DemoPeople()[static_cast<std::size_t>(i)];
        EXPECT_EQ(roster.PersonName[i], person.Name);
        EXPECT_EQ(roster.CalendarItemId[i], person.ItemId);
        EXPECT_EQ(roster.LeaveTag[i], person.LeaveTag);
        for (unsigned char c : roster.PersonName[i]) accented = accented || c >= 0x80;
        // Ids distinct; no tag inside another's, so a leave entry names one person only.
        for (int j = 0; j < roster.Count(); ++j) {
            if (i == j) continue;
            EXPECT_NE(roster.CalendarItemId[i], roster.CalendarItemId[j]);
            EXPECT_EQ(roster.LeaveTag[j].find(roster.LeaveTag[i]), std::string::npos);
        }
    }
    EXPECT_TRUE(accented);
}
