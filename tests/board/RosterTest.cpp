// Loading people.txt into the five roster columns, and what a bad file leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "board/Roster.h"
#include "text/Errors.h"

namespace {

class RosterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("quorvane-roster-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        file_ = (dir_ / "people.txt").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::string& content)
    {
        std::ofstream(file_, std::ios::binary) << content;
    }
    void ExpectFullLength(std::size_t n)
    {
        for (auto* column : {&roster.PersonName, &roster.CalendarItemId, &roster.StatusHtml, &roster.LeaveTag,
                             &roster.DayPageHtml}) {
            EXPECT_EQ(column->size(), n);
        }
    }
    std::string ListError(int index)
    {
        try {
            LoadRoster(roster, file_);
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(index) + ")");
            return e.Message();
        }
        ADD_FAILURE() << "no EStringListError";
        return {};
    }

    std::filesystem::path dir_;
    std::string file_;
    TRoster roster;
};

TEST_F(RosterTest, LoadsThreeFieldsPerLineInFileOrder)
{
    Write("\"Ann Example\",4711,\"Example, A\"\r\nBob,4712,\"B Smith\",extra,fields\nCy,,\"\"\n");
    LoadRoster(roster, file_);
    ASSERT_EQ(roster.Count(), 3);
    ExpectFullLength(3);
    EXPECT_EQ(roster.PersonName, (std::vector<std::string>{"Ann Example", "Bob", "Cy"}));
    EXPECT_EQ(roster.CalendarItemId, (std::vector<std::string>{"4711", "4712", ""}));
    EXPECT_EQ(roster.LeaveTag, (std::vector<std::string>{"Example, A", "B Smith", ""}));
    EXPECT_EQ(roster.StatusHtml, (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(roster.DayPageHtml, (std::vector<std::string>{"", "", ""}));
}

TEST_F(RosterTest, MissingFileKeepsFiveEmptyColumns)
{
    roster.PersonName = {"stale"};
    roster.CalendarItemId = {"1"};
    try {
        LoadRoster(roster, file_);
        FAIL() << "no EFOpenError";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + file_ + "\". ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(roster.Count(), 0);
    ExpectFullLength(0);
}

TEST_F(RosterTest, EmptyFileGivesNoPeople)
{
    Write("");
    LoadRoster(roster, file_);
    EXPECT_EQ(roster.Count(), 0);
    ExpectFullLength(0);
}

TEST_F(RosterTest, FinalLineBreakAddsNoPersonButABlankLineFails)
{
    Write("Ann,1,A\n");
    LoadRoster(roster, file_);
    EXPECT_EQ(roster.Count(), 1);

    Write("Ann,1,A\n\n");
    ListError(0);
    ExpectFullLength(2);
    EXPECT_EQ(roster.LeaveTag[0], "A");
}

TEST_F(RosterTest, ShortLineStoresTheFieldsItHasAndLeavesLaterLinesEmpty)
{
    Write("Ann,1,A\nBob\nCy,3,C\n");
    ListError(1);
    ExpectFullLength(3);
    EXPECT_EQ(roster.PersonName, (std::vector<std::string>{"Ann", "Bob", ""}));
    EXPECT_EQ(roster.CalendarItemId, (std::vector<std::string>{"1", "", ""}));

    Write("Ann,1,A\nBob,2\nCy,3,C\n");
    ListError(2);
    EXPECT_EQ(roster.CalendarItemId, (std::vector<std::string>{"1", "2", ""}));
    EXPECT_EQ(roster.LeaveTag, (std::vector<std::string>{"A", "", ""}));
}

TEST_F(RosterTest, UnquotedBlankSplitsAName)
{
    Write("Ann Example,123,Example\n");
    LoadRoster(roster, file_);
    EXPECT_EQ(roster.PersonName[0], "Ann");
    EXPECT_EQ(roster.CalendarItemId[0], "Example");
    EXPECT_EQ(roster.LeaveTag[0], "123");
}

TEST_F(RosterTest, ByteOrderMarkIsPartOfTheFirstName)
{
    Write("\xEF\xBB\xBF\"Ann Example\",1,A\n");
    LoadRoster(roster, file_);
    // The quote after the mark opens no quoted field.
    EXPECT_EQ(roster.PersonName[0], "\xEF\xBB\xBF\"Ann");
    EXPECT_EQ(roster.CalendarItemId[0], "Example\"");
    EXPECT_EQ(roster.LeaveTag[0], "1");
}

}  // namespace
