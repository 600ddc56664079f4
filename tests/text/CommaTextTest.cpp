// Comma text: the splitting rules that the roster format rests on.
#include "text/Errors.h"
#include "text/LineList.h"

#include <gtest/gtest.h>

using namespace quorvane;

using namespace std::string_literals;

namespace {

using F = std::vector<std::string>;

F fields(std::string_view text)
{
    StringList list;
    list.add("stale");
    list.setCommaText(text);
    F out;
    for (int i = 0; i < list.count(); ++i) {
        out.push_back(list.get(i));
    }
    return out;
}

}  // namespace

TEST(CommaTextTest, SeparatorsAndEmptyFields)
{
    EXPECT_EQ(fields("1,2,3"), (F{"1", "2", "3"}));
    EXPECT_EQ(fields("Ann Example,123,Example"), (F{"Ann", "Example", "123", "Example"}));
    EXPECT_EQ(fields("  a , b\t\tc"), (F{"a", "b", "c"}));
    EXPECT_EQ(fields("a,,b"), (F{"a", "", "b"}));
    EXPECT_EQ(fields("a, ,b"), (F{"a", "", "b"}));
    EXPECT_EQ(fields(",a"), (F{"", "a"}));
    EXPECT_EQ(fields("a,b,"), (F{"a", "b", ""}));
    EXPECT_EQ(fields("a,b, "), (F{"a", "b"}));
    EXPECT_EQ(fields(","), (F{"", ""}));
    EXPECT_EQ(fields(" \t\r\n"), F{});
    EXPECT_EQ(fields("Jos\xC3\xA9,\xFF"), (F{"Jos\xC3\xA9", "\xFF"}));
}

TEST(CommaTextTest, QuotedFields)
{
    EXPECT_EQ(fields("\"Ann Example\",2,\"x\""), (F{"Ann Example", "2", "x"}));
    EXPECT_EQ(fields("\"say \"\"hi\"\"\""), (F{"say \"hi\""}));
    EXPECT_EQ(fields("\"\",\"a,\tb\""), (F{"", "a,\tb"}));
    EXPECT_EQ(fields("\"Ann Example\"x"), (F{"Ann Example", "x"}));
    EXPECT_EQ(fields("a\"b\""), (F{"a\"b\""}));
    // A missing closing quote runs to the end, doubled quotes still standing for one.
    EXPECT_EQ(fields("a,\"b \"\"c"), (F{"a", "b \"c"}));
    EXPECT_EQ(fields("\""), (F{""}));
}

TEST(CommaTextTest, NulEndsTheText)
{
    EXPECT_EQ(fields("a,b\0,c"s), (F{"a", "b"}));
    EXPECT_EQ(fields("a,\0b"s), (F{"a", ""}));
    EXPECT_EQ(fields("\"a\0b\",c"s), (F{"a"}));
}

TEST(CommaTextTest, EmptyLineHasNoFirstField)
{
    StringList list;
    list.setCommaText("");
    try {
        list.get(0);
        ADD_FAILURE();
    } catch (const StringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
}
