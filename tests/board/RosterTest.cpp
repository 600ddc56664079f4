// Loading people.txt into Person records, and what a bad file leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <unistd.h>

#include "board/Roster.h"
#include "tests/support/TestDoubles.h"
#include "text/Errors.h"

using namespace quorvane;

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
    void expectLength(std::size_t n) { EXPECT_EQ(roster.size(), n); }
    Column column(std::string Person::*field) const
    {
        Column values;
        for (const Person& person : roster) values.push_back(person.*field);
        return values;
    }
};

TEST_F(RosterTest, FieldsAsCommaText)
{
    load("\"Ann Example\",4711,\"Example, A\"\r\nBob,4712,\"B Smith\",extra\nAl Ex,1,x\n\xEF\xBB\xBF\"Cy D\",3,c");
    expectLength(4);
    // An unquoted blank splits a name; a quote after a byte-order mark opens nothing.
    EXPECT_EQ(column(&Person::name), (Column{"Ann Example", "Bob", "Al", "\xEF\xBB\xBF\"Cy"}));
    EXPECT_EQ(column(&Person::itemId), (Column{"4711", "4712", "Ex", "D\""}));
    EXPECT_EQ(column(&Person::leaveTag), (Column{"Example, A", "B Smith", "1", "3"}));
    load("");
    expectLength(0);
}

TEST_F(RosterTest, MissingFileLeavesNoOne)
{
    roster = {{"stale", "stale", ""}};
    try {
        loadRoster(roster, file + ".absent");
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.message().rfind("Cannot open file \"" + file + ".absent\". ", 0), 0u) << e.message();
    }
    expectLength(0);
}

TEST_F(RosterTest, BadLinesAreSkippedOddOnesWarnedAndTheGoodOnesListed)
{
    // The message names the file and the line; blank and comment lines count as lines there.
    const struct {
        const char* line;
        const char* name;     // listed as; nullptr: skipped
        const char* warning;  // after "FILE:LINE: "; nullptr: none
    } cases[] = {
        {"\"Ann\",1,\"A\"", "Ann", nullptr},
        {"\"Bob,2,B", nullptr, "line skipped: a quote is not closed"},
        {"Cy,3", nullptr, "line skipped: expected three fields: name, calendar, leave tag; found 2"},
        {"# Cy's line above is short", nullptr, nullptr},
        {"Di Ex,4,D", "Di",
         "warning: a space separates two fields where a comma should (a name with spaces needs quotes); more than "
         "three fields (4): the ones after the leave tag are not read (read as name \"Di\", calendar \"Ex\", leave tag \"4\")"},
        {"\"Ed\" 5,E", "Ed",
         "warning: a space separates two fields where a comma should (a name with spaces needs quotes) (read as name "
         "\"Ed\", calendar \"5\", leave tag \"E\")"},
        {"Fay,6,\"F", "Fay", "warning: a quote is not closed (read as name \"Fay\", calendar \"6\", leave tag \"F\")"},
        {"", nullptr, nullptr},
        {"Gus , 7 ,  \"G g\"", "Gus", nullptr},
    };
    std::string content;
    Column names, warnings;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        content += std::string(cases[i].line) + "\n";
        if (cases[i].name) names.push_back(cases[i].name);
        if (cases[i].warning) warnings.push_back(file + ":" + std::to_string(i + 1) + ": " + cases[i].warning);
    }
    std::ofstream(file, std::ios::binary) << content;
    RecordingLog log;
    loadRoster(roster, file, &log);
    EXPECT_EQ(column(&Person::name), names);
    EXPECT_EQ(log.lines, warnings);
    for (const auto& [severity, text] : log.flagged) EXPECT_EQ(severity, LogSeverity::Warning) << text;
    EXPECT_EQ(log.flagged.size(), warnings.size());
}

TEST_F(RosterTest, FilesAsPeopleWriteThem)
{
    // A byte-order mark, a trailing blank line, blank and comment lines: two people in each.
    const char* files[] = {
        "\xEF\xBB\xBF\"Ann Example\",1001,\"A Example\"\r\n\"Bob\",1002,\"B\"\r\n",
        "\"Ann Example\",1001,\"A Example\"\r\n\"Bob\",1002,\"B\"\r\n\r\n",
        "# the office\n\n  \t\n\"Ann Example\",1001,\"A Example\"\n   # away\n\"Bob\",1002,\"B\"\n",
    };
    for (const char* content : files) {
        load(content);
        expectLength(2);
        EXPECT_EQ(column(&Person::name), (Column{"Ann Example", "Bob"})) << content;
        EXPECT_EQ(column(&Person::itemId), (Column{"1001", "1002"})) << content;
    }
}

TEST_F(RosterTest, InvalidUtf8IsWarnedAboutAndStillListed)
{
    std::ofstream(file, std::ios::binary) << "\"Jos\xE9\",1,\"J\"\n\"Ann\",2,\"A\"\n\"Bo\",3,\"\xC3\xA9\xC3\"\n";
    RecordingLog log;
    loadRoster(roster, file, &log);
    expectLength(3);
    EXPECT_EQ(log.lines, (Column{file + ":1: warning: the name or leave tag is not valid UTF-8 (shown as it is)",
                                 file + ":3: warning: the name or leave tag is not valid UTF-8 (shown as it is)"}));
}

}  // namespace
