// StringList: index checks, growth of the entry array, case-insensitive search, line cutting.
#include "text/Errors.h"
#include "text/LineList.h"
#include "text/Text.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

std::string errorOf(const std::function<void()>& op)
{
    try {
        op();
    } catch (const StringListError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(StringListTest, IndexChecksNameTheIndexAndChangeNothing)
{
    StringList list;
    list.add("a");
    list.add("b");
    EXPECT_EQ(errorOf([&] { list.get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { list.get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(errorOf([&] { list.put(2, "x"); }), "List index out of bounds (2)");
    EXPECT_EQ(errorOf([&] { list.remove(5); }), "List index out of bounds (5)");
    EXPECT_EQ(list.text(), "a\r\nb\r\n");
}

TEST(StringListTest, AddPutDeleteKeepOrder)
{
    StringList list;
    EXPECT_EQ(list.add("a"), 0);
    EXPECT_EQ(list.add("b"), 1);
    list.add("c");
    list.put(1, "B");
    list.remove(0);
    EXPECT_EQ(list.add("d"), 2);  // into the slot vacated by remove
    EXPECT_EQ(list.text(), "B\r\nc\r\nd\r\n");
}

TEST(StringListTest, DeleteFirstRemovesFromTheFrontAndClampsToTheCount)
{
    StringList list;
    list.addLines({"a", "b", "c", "d"});
    list.deleteFirst(0);
    list.deleteFirst(-1);
    list.deleteFirst(2);
    EXPECT_EQ(list.text(), "c\r\nd\r\n");
    EXPECT_EQ(list.add("e"), 2);
    list.deleteFirst(10);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.text(), "");
}

// The activity log's pattern once full: remove the first line, add one. The list keeps its
// order and never grows past the capacity it had when it filled up.
TEST(StringListTest, RemovingFirstAndAddingKeepsOrderWithoutGrowing)
{
    StringList list;
    for (int i = 0; i < 100; ++i) list.add(intToText(i));
    const int capacity = list.capacity();
    for (int i = 100; i < 1000; ++i) {
        list.remove(0);
        EXPECT_EQ(list.add(intToText(i)), 99);
    }
    EXPECT_EQ(list.capacity(), capacity);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(list.get(i), intToText(900 + i));
    list.remove(50);
    EXPECT_EQ(list.get(50), "951");
}

TEST(StringListTest, CapacityGrowsOnlyWhenFullAndClearGivesItBack)
{
    StringList list;
    std::vector<int> seen{list.capacity()};
    for (int i = 0; i < 200; ++i) {
        list.add("x");
        if (seen.back() != list.capacity()) {
            seen.push_back(list.capacity());
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
    list.remove(0);
    EXPECT_EQ(list.capacity(), 228);
    list.clear();
    EXPECT_EQ(list.capacity(), 0);
    EXPECT_EQ(list.text(), "");
}
