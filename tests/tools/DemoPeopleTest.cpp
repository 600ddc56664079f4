// examples/demo/people.txt loads with the board's roster loader and names the demo's people.
#include <gtest/gtest.h>

#include <set>

#include "board/Roster.h"
#include "text/Strings.h"
#include "tools/democal/DemoPeople.h"

namespace {

constexpr int MinPeople = 6;
constexpr int MaxPeople = 10;

}  // namespace

TEST(DemoPeopleTest, RosterFileLoadsAndMatchesTheServersPeople) {
    TRoster roster;
    ASSERT_NO_THROW(LoadRoster(roster, QUORVANE_DEMO_PEOPLE));
    ASSERT_GE(roster.Count(), MinPeople);
    ASSERT_LE(roster.Count(), MaxPeople);
    ASSERT_EQ(static_cast<std::size_t>(roster.Count()), DemoPeople().size());

    TStringList lines;
    lines.LoadFromFile(QUORVANE_DEMO_PEOPLE);
    std::set<std::string> ids, tags;
    bool accented = false;
    for (int i = 0; i < roster.Count(); ++i) {
        TStringList fields;
        fields.SetCommaText(lines.Get(i));
        EXPECT_EQ(fields.Count(), 3) << lines.Get(i);
        const DemoPerson& person = DemoPeople()[static_cast<std::size_t>(i)];
        EXPECT_EQ(roster.PersonName[i], person.Name);
        EXPECT_EQ(roster.CalendarItemId[i], person.ItemId);
        EXPECT_EQ(roster.LeaveTag[i], person.LeaveTag);
        EXPECT_NE(roster.PersonName[i].find(' '), std::string::npos);
        for (unsigned char c : roster.PersonName[i]) accented = accented || c >= 0x80;
        ids.insert(roster.CalendarItemId[i]);
        tags.insert(roster.LeaveTag[i]);
    }
    EXPECT_TRUE(accented);
    EXPECT_EQ(ids.size(), DemoPeople().size());
    EXPECT_EQ(tags.size(), DemoPeople().size());
    // Every tag is unique also as a substring, so a leave entry names one person only.
    for (const std::string& a : tags) {
        for (const std::string& b : tags) {
            if (a != b) {
                EXPECT_EQ(b.find(a), std::string::npos) << a << " in " << b;
            }
        }
    }
}
