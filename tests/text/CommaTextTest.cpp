// Comma text: the splitting rules that the roster format rests on.
#include "text/Errors.h"
#include "text/Strings.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

using F = std::vector<std::string>;

F Fields(std::string_view text)
{
    TStringList list;
    list.Add("stale");
    list.SetCommaText(text);
    F out;
    for (int i = 0; i < list.Count(); ++i) {
        out.push_back(list.Get(i));
    }
    return out;
}

}  // namespace

TEST(CommaTextTest, SeparatorsAndEmptyFields)
{
    EXPECT_EQ(Fields("1,2,3"), (F{"1", "2", "3"}));
    EXPECT_EQ(Fields("Ann Example,123,Example"), (F{"Ann", "Example", "123", "Example"}));
    EXPECT_EQ(Fields("  a , b\t\tc"), (F{"a", "b", "c"}));
    EXPECT_EQ(Fields("a,,b"), (F{"a", "", "b"}));
    EXPECT_EQ(Fields("a, ,b"), (F{"a", "", "b"}));
    EXPECT_EQ(Fields(",a"), (F{"", "a"}));
    EXPECT_EQ(Fields("a,b,"), (F{"a", "b", ""}));
    EXPECT_EQ(Fields("a,b, "), (F{"a", "b"}));
    EXPECT_EQ(Fields(","), (F{"", ""}));
    EXPECT_EQ(Fields(" \t\r\n"), F{});
    EXPECT_EQ(Fields("Jos\xC3\xA9,\xFF"), (F{"Jos\xC3\xA9", "\xFF"}));
}

TEST(CommaTextTest, QuotedFields)
{
    EXPECT_EQ(Fields("\"Ann Example\",2,\"x\""), (F{"Ann Example", "2", "x"}));
    EXPECT_EQ(Fields("\"say \"\"hi\"\"\""), (F{"say \"hi\""}));
    EXPECT_EQ(Fields("\"\",\"a,\tb\""), (F{"", "a,\tb"}));
    EXPECT_EQ(Fields("\"Ann Example\"x"), (F{"Ann Example", "x"}));
    EXPECT_EQ(Fields("a\"b\""), (F{"a\"b\""}));
    // A missing closing quote runs to the end, doubled quotes still standing for one.
    EXPECT_EQ(Fields("a,\"b \"\"c"), (F{"a", "b \"c"}));
    EXPECT_EQ(Fields("\""), (F{""}));
}

TEST(CommaTextTest, NulEndsTheText)
{
    EXPECT_EQ(Fields("a,b\0,c"s), (F{"a", "b"}));
    EXPECT_EQ(Fields("a,\0b"s), (F{"a", ""}));
    EXPECT_EQ(Fields("\"a\0b\",c"s), (F{"a"}));
}

TEST(CommaTextTest, EmptyLineHasNoFirstField)
{
    TStringList list;
    list.SetCommaText("");
    try {
        list.Get(0);
        ADD_FAILURE();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
}
