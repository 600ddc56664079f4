// Comma text: the splitting rules that the roster format rests on.
#include "text/Errors.h"
#include "text/Strings.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

std::vector<std::string> Fields(std::string_view text)
{
    TStringList list;
    list.Add("stale");
    list.SetCommaText(text);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) {
        out.push_back(list.Get(i));
    }
    return out;
}

using F = std::vector<std::string>;

}  // namespace

TEST(CommaTextTest, PlainFieldsAndSeparators)
{
    EXPECT_EQ(Fields("1,2,3"), (F{"1", "2", "3"}));
    EXPECT_EQ(Fields("Ann Example,123,Example"), (F{"Ann", "Example", "123", "Example"}));
    EXPECT_EQ(Fields("a , b"), (F{"a", "b"}));
    EXPECT_EQ(Fields("a\t\tb"), (F{"a", "b"}));
    EXPECT_EQ(Fields("a,,b"), (F{"a", "", "b"}));
    EXPECT_EQ(Fields("a, ,b"), (F{"a", "", "b"}));
    EXPECT_EQ(Fields(",a"), (F{"", "a"}));
    EXPECT_EQ(Fields("Jos\xC3\xA9,\xFF"), (F{"Jos\xC3\xA9", "\xFF"}));
}

TEST(CommaTextTest, TrailingCommaAndEmptyTexts)
{
    EXPECT_EQ(Fields("a,b,"), (F{"a", "b", ""}));
    EXPECT_EQ(Fields("a,b, "), (F{"a", "b"}));
    EXPECT_EQ(Fields("a,"), (F{"a", ""}));
    EXPECT_EQ(Fields(","), (F{"", ""}));
    EXPECT_EQ(Fields(""), F{});
    EXPECT_EQ(Fields(" \t\r\n"), F{});
    EXPECT_EQ(Fields("   a"), (F{"a"}));
}

TEST(CommaTextTest, QuotedFields)
{
    EXPECT_EQ(Fields("\"Ann Example\",2,\"x\""), (F{"Ann Example", "2", "x"}));
    EXPECT_EQ(Fields("\"say \"\"hi\"\"\""), (F{"say \"hi\""}));
    EXPECT_EQ(Fields("\"\",a"), (F{"", "a"}));
    EXPECT_EQ(Fields("\"a,\tb\""), (F{"a,\tb"}));
    EXPECT_EQ(Fields("\"Ann Example\"x"), (F{"Ann Example", "x"}));
    EXPECT_EQ(Fields("a\"b\""), (F{"a\"b\""}));
}

TEST(CommaTextTest, UnterminatedQuoteRunsToTheEnd)
{
    EXPECT_EQ(Fields("a,\"b c"), (F{"a", "b c"}));
    EXPECT_EQ(Fields("\"b \"\"c"), (F{"b \"c"}));
    EXPECT_EQ(Fields("\""), (F{""}));
}

TEST(CommaTextTest, NulEndsTheText)
{
    EXPECT_EQ(Fields("a,b\0,c"s), (F{"a", "b"}));
    EXPECT_EQ(Fields("a,\0b"s), (F{"a", ""}));
    EXPECT_EQ(Fields("\"a\0b\",c"s), (F{"a"}));
    EXPECT_EQ(Fields("\0a"s), F{});
}

TEST(CommaTextTest, EmptyLineHasNoFirstField)
{
    TStringList list;
    list.SetCommaText("");
    try {
        list.Get(0);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    list.SetCommaText("one,two");
    EXPECT_THROW(list.Get(2), EStringListError);
}
