// TStringList: index checks, growth of the entry array, case-insensitive search, line cutting.
#include "text/Errors.h"
#include "text/Strings.h"
#include "text/Text.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::function<void()>& op)
{
    try {
        op();
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
    EXPECT_EQ(ErrorOf([&] { list.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { list.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { list.Put(2, "x"); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { list.Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(StringListTest, AddPutDeleteKeepOrder)
{
    TStringList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("b"), 1);
    list.Add("c");
    list.Put(1, "B");
    list.Delete(0);
    EXPECT_EQ(list.Add("d"), 2);  // into the slot vacated by Delete
    EXPECT_EQ(list.Text(), "B\r\nc\r\nd\r\n");
}

TEST(StringListTest, DeleteFirstRemovesFromTheFrontAndClampsToTheCount)
{
    TStringList list;
    list.AddLines({"a", "b", "c", "d"});
    list.DeleteFirst(0);
    list.DeleteFirst(-1);
    list.DeleteFirst(2);
    EXPECT_EQ(list.Text(), "c\r\nd\r\n");
    EXPECT_EQ(list.Add("e"), 2);
    list.DeleteFirst(10);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

// The activity log's pattern once full: remove the first line, add one. The list keeps its
// order and never grows past the capacity it had when it filled up.
TEST(StringListTest, RemovingFirstAndAddingKeepsOrderWithoutGrowing)
{
    TStringList list;
    for (int i = 0; i < 100; ++i) list.Add(IntToText(i));
    const int capacity = list.Capacity();
    for (int i = 100; i < 1000; ++i) {
        list.Delete(0);
        EXPECT_EQ(list.Add(IntToText(i)), 99);
    }
    EXPECT_EQ(list.Capacity(), capacity);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(list.Get(i), IntToText(900 + i));
    list.Delete(50);
    EXPECT_EQ(list.Get(50), "951");
    EXPECT_EQ(list.IndexOf("999"), 98);
}

TEST(StringListTest, CapacityGrowsOnlyWhenFullAndClearGivesItBack)
{
    TStringList list;
    std::vector<int> seen{list.Capacity()};
    for (int i = 0; i < 200; ++i) {
        list.Add("x");
        if (seen.back() != list.Capacity()) {
            seen.push_back(list.Capacity());
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
    list.Delete(0);
    EXPECT_EQ(list.Capacity(), 228);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringListTest, IndexOfIgnoresCase)
{
    TStringList list;
    EXPECT_EQ(list.IndexOf("Ann"), -1);
    for (const char* name : {"Bob", "ANN", "ann", "\xC3\x89LISE"}) {
        list.Add(name);
    }
    EXPECT_EQ(list.IndexOf("Ann"), 1);
    EXPECT_EQ(list.IndexOf("\xC3\xA9lise"), 3);
    EXPECT_EQ(list.IndexOf("An"), -1);
}
