// Loading people.txt into the five roster columns, and what a bad file leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "board/Roster.h"
#include "text/Errors.h"

namespace {

using Column = std::vector<std::string>;

struct RosterTest : ::testing::Test {
    std::string file = (std::filesystem::temp_directory_path() / "quorvane-roster-test.txt").string();
    TRoster roster;
    void TearDown() override { std::filesystem::remove(file); }
    void Load(const std::string& content)
    {
        std::ofstream(file, std::ios::binary) << content;
        LoadRoster(roster, file);
    }
    void ExpectLength(std::size_t n)
    {
        for (auto* c : {&roster.PersonName, &roster.CalendarItemId, &roster.StatusHtml, &roster.LeaveTag,
                        &roster.DayPageHtml})
            EXPECT_EQ(c->size(), n);
    }
};

TEST_F(RosterTest, FieldsAsCommaText)
{
    Load("\"Ann Example\",4711,\"Example, A\"\r\nBob,4712,\"B Smith\",extra\nAl Ex,1,x\n\xEF\xBB\xBF\"Cy D\",3,c");
    ExpectLength(4);
    // An unquoted blank splits a name; a quote after a byte-order mark opens nothing.
    EXPECT_EQ(roster.PersonName, (Column{"Ann Example", "Bob", "Al", "\xEF\xBB\xBF\"Cy"}));
    EXPECT_EQ(roster.CalendarItemId, (Column{"4711", "4712", "Ex", "D\""}));
    EXPECT_EQ(roster.LeaveTag, (Column{"Example, A", "B Smith", "1", "3"}));
    Load("");
    ExpectLength(0);
}

TEST_F(RosterTest, MissingFileLeavesFiveEmptyColumns)
{
    roster.PersonName = roster.CalendarItemId = {"stale"};
    try {
        LoadRoster(roster, file + ".absent");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + file + ".absent\". ", 0), 0u) << e.Message();
    }
    ExpectLength(0);
}

TEST_F(RosterTest, ShortLineStoresWhatItHasAndLeavesLaterLinesEmpty)
{
    const std::pair<const char*, int> cases[] = {{"Ann,1,A\n\n", 0}, {"Ann,1,A\nBob\nCy,3,C\n", 1},
                                                 {"Ann,1,A\nBob,2\nCy,3,C\n", 2}};
    for (const auto& [content, missing] : cases) {
        try {
            Load(content);
            ADD_FAILURE() << content;
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(missing) + ")");
        }
        EXPECT_EQ(roster.LeaveTag[0], "A");
        EXPECT_EQ(roster.PersonName[1], missing ? "Bob" : "");
        EXPECT_EQ(roster.CalendarItemId[1], missing == 2 ? "2" : "");
    }
    ExpectLength(3);
    EXPECT_EQ(roster.PersonName[2], "");
}

}  // namespace
