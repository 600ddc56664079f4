// examples/demo/people.txt loads with the board's roster loader and names the server's people.
#include <gtest/gtest.h>

#include "board/Roster.h"
#include "text/LineList.h"
#include "tools/democal/DemoPeople.h"

using namespace quorvane;

TEST(DemoPeopleTest, RosterFileLoadsAndMatchesTheServersPeople) {
    Roster roster;
    ASSERT_NO_THROW(loadRoster(roster, QUORVANE_DEMO_PEOPLE));
    ASSERT_GE(static_cast<int>(roster.size()), 6);
    ASSERT_LE(static_cast<int>(roster.size()), 10);
    ASSERT_EQ(roster.size(), demoPeople().size());
    StringList lines, fields;
    lines.loadFromFile(QUORVANE_DEMO_PEOPLE);
    bool accented = false;
    for (int i = 0; i < static_cast<int>(roster.size()); ++i) {
        fields.setCommaText(lines.get(i));
        EXPECT_EQ(fields.count(), 3) << lines.get(i);
        const DemoPerson& person = demoPeople()[static_cast<std::size_t>(i)];
        EXPECT_EQ(roster[i].name, person.name);
        EXPECT_EQ(roster[i].itemId, person.itemId);
        EXPECT_EQ(roster[i].leaveTag, person.leaveTag);
        for (unsigned char c : roster[i].name) accented = accented || c >= 0x80;
        // Ids distinct; no tag inside another's, so a leave entry names one person only.
        for (int j = 0; j < static_cast<int>(roster.size()); ++j) {
            if (i == j) continue;
            EXPECT_NE(roster[i].itemId, roster[j].itemId);
            EXPECT_EQ(roster[j].leaveTag.find(roster[i].leaveTag), std::string::npos);
        }
    }
    EXPECT_TRUE(accented);
}
