// examples/demo/people.txt loads with the board's roster loader and names the server's people.
#include <gtest/gtest.h>

#include "board/Roster.h"
#include "text/LineList.h"
#include "tools/democal/DemoPeople.h"

TEST(DemoPeopleTest, RosterFileLoadsAndMatchesTheServersPeople) {
    Roster roster;
    ASSERT_NO_THROW(loadRoster(roster, QUORVANE_DEMO_PEOPLE));
    ASSERT_GE(roster.count(), 6);
    ASSERT_LE(roster.count(), 10);
    ASSERT_EQ(static_cast<std::size_t>(roster.count()), demoPeople().size());
    StringList lines, fields;
    lines.loadFromFile(QUORVANE_DEMO_PEOPLE);
    bool accented = false;
    for (int i = 0; i < roster.count(); ++i) {
        fields.setCommaText(lines.get(i));
        EXPECT_EQ(fields.count(), 3) << lines.get(i);
        const DemoPerson& person = demoPeople()[static_cast<std::size_t>(i)];
        EXPECT_EQ(roster.personName[i], person.name);
        EXPECT_EQ(roster.calendarItemId[i], person.itemId);
        EXPECT_EQ(roster.leaveTag[i], person.leaveTag);
        for (unsigned char c : roster.personName[i]) accented = accented || c >= 0x80;
        // Ids distinct; no tag inside another's, so a leave entry names one person only.
        for (int j = 0; j < roster.count(); ++j) {
            if (i == j) continue;
            EXPECT_NE(roster.calendarItemId[i], roster.calendarItemId[j]);
            EXPECT_EQ(roster.leaveTag[j].find(roster.leaveTag[i]), std::string::npos);
        }
    }
    EXPECT_TRUE(accented);
}
