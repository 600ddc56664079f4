// TStringList: index checks, growth of the entry array, case-insensitive search, text round trip.
#include "text/Errors.h"
#include "text/Strings.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

std::string ListIndexMessage(TStringList& list, void (*op)(TStringList&))
{
    try {
        op(list);
    } catch (const EStringListError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(StringListTest, IndexChecksNameTheIndexAndChangeNothing)
{
    TStringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(ListIndexMessage(list, [](TStringList& l) { l.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListIndexMessage(list, [](TStringList& l) { l.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ListIndexMessage(list, [](TStringList& l) { l.Put(2, "x"); }), "List index out of bounds (2)");
    EXPECT_EQ(ListIndexMessage(list, [](TStringList& l) { l.Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(StringListTest, AddPutDeleteKeepOrder)
{
    TStringList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("b"), 1);
    EXPECT_EQ(list.Add("c"), 2);
    list.Put(1, "B");
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0), "B");
    EXPECT_EQ(list.Get(1), "c");
    // The slot vacated by Delete must not leak its text into the next Add.
    EXPECT_EQ(list.Add("d"), 2);
    EXPECT_EQ(list.Text(), "B\r\nc\r\nd\r\n");
    list.Delete(2);
    EXPECT_EQ(list.Text(), "B\r\nc\r\n");
}

TEST(StringListTest, CapacityGrowsOnlyWhenFullAndClearGivesItBack)
{
    TStringList list;
    EXPECT_EQ(list.Capacity(), 0);
    std::vector<int> seen;
    for (int i = 0; i < 200; ++i) {
        list.Add("x");
        if (seen.empty() || seen.back() != list.Capacity()) {
            seen.push_back(list.Capacity());
        }
    }
    // +4 while at most 8, +16 from 9 to 64, then a quarter.
    EXPECT_EQ(seen, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
    list.Delete(0);
    EXPECT_EQ(list.Capacity(), 228);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringListTest, IndexOfIgnoresCase)
{
    TStringList list;
    EXPECT_EQ(list.IndexOf("Ann"), -1);
    list.Add("Bob");
    list.Add("ANN");
    list.Add("ann");
    list.Add("\xC3\x89LISE");
    EXPECT_EQ(list.IndexOf("Ann"), 1);
    EXPECT_EQ(list.IndexOf("\xC3\xA9lise"), 3);
    EXPECT_EQ(list.IndexOf("An"), -1);
    EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(StringListTest, SetTextCutsLinesLikeAFile)
{
    TStringList list;
    list.SetText("a\r\nb\r\n");
    EXPECT_EQ(list.Count(), 2);
    list.SetText("a\n\rb");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    list.SetText("a\r\r\nb");
    EXPECT_EQ(list.Count(), 3);
    list.SetText("a\rb\0c\nd"s);
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
    list.SetText("\0a"s);
    EXPECT_EQ(list.Count(), 0);
    list.SetText("\r\n");
    EXPECT_EQ(list.Text(), "\r\n");
}
