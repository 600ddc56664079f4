// Loading people.txt into the five roster columns, and what a bad file leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "board/Roster.h"
#include "text/Errors.h"

namespace {

using Column = std::vector<std::string>;

struct RosterTest : ::testing::Test {
    // A directory of this test's own: ctest runs the cases side by side.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
        ("quorvane-roster-" + std::to_string(getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string file = (dir / "people.txt").string();
    Roster roster;
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void load(const std::string& content)
    {
        std::ofstream(file, std::ios::binary) << content;
        loadRoster(roster, file);
    }
    void expectLength(std::size_t n)
    {
        for (auto* c : {&roster.personName, &roster.calendarItemId, &roster.statusHtml, &roster.leaveTag,
                        &roster.dayPageHtml})
            EXPECT_EQ(c->size(), n);
    }
};

TEST_F(RosterTest, FieldsAsCommaText)
{
    load("\"Ann Example\",4711,\"Example, A\"\r\nBob,4712,\"B Smith\",extra\nAl Ex,1,x\n\xEF\xBB\xBF\"Cy D\",3,c");
    expectLength(4);
    // An unquoted blank splits a name; a quote after a byte-order mark opens nothing.
    EXPECT_EQ(roster.personName, (Column{"Ann Example", "Bob", "Al", "\xEF\xBB\xBF\"Cy"}));
    EXPECT_EQ(roster.calendarItemId, (Column{"4711", "4712", "Ex", "D\""}));
    EXPECT_EQ(roster.leaveTag, (Column{"Example, A", "B Smith", "1", "3"}));
    load("");
    expectLength(0);
}

TEST_F(RosterTest, MissingFileLeavesFiveEmptyColumns)
{
    roster.personName = roster.calendarItemId = {"stale"};
    try {
        loadRoster(roster, file + ".absent");
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.message().rfind("Cannot open file \"" + file + ".absent\". ", 0), 0u) << e.message();
    }
    expectLength(0);
}

TEST_F(RosterTest, ShortLineStoresWhatItHasAndLeavesLaterLinesEmpty)
{
    const std::pair<const char*, int> cases[] = {{"Ann,1,A\n\n", 0}, {"Ann,1,A\nBob\nCy,3,C\n", 1},
                                                 {"Ann,1,A\nBob,2\nCy,3,C\n", 2}};
    for (const auto& [content, missing] : cases) {
        try {
            load(content);
            ADD_FAILURE() << content;
        } catch (const StringListError& e) {
            EXPECT_EQ(e.message(), "List index out of bounds (" + std::to_string(missing) + ")");
        }
        ASSERT_GE(roster.personName.size(), 2u);
        ASSERT_GE(roster.calendarItemId.size(), 2u);
        ASSERT_GE(roster.leaveTag.size(), 1u);
        EXPECT_EQ(roster.leaveTag[0], "A");
        EXPECT_EQ(roster.personName[1], missing ? "Bob" : "");
        EXPECT_EQ(roster.calendarItemId[1], missing == 2 ? "2" : "");
    }
    expectLength(3);
    ASSERT_EQ(roster.personName.size(), 3u);
    EXPECT_EQ(roster.personName[2], "");
}

}  // namespace
