// Text primitives: positions, clamped cuts, replacement and case mapping at their edges.
#include "text/Errors.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <climits>

using namespace std::string_literals;

TEST(TextTest, PosFindsFirstOccurrenceOrZero)
{
    EXPECT_EQ(TextPos("", "abc"), 0);
    EXPECT_EQ(TextPos("a", ""), 0);
    EXPECT_EQ(TextPos("abcd", "abc"), 0);
    EXPECT_EQ(TextPos("b", "abcb"), 2);
    EXPECT_EQ(TextPos("B", "abc"), 0);
    EXPECT_EQ(TextPos("\0x"s, "a\0x"s), 2);  // NUL is an ordinary character here
}

TEST(TextTest, CutsClampStartAndCount)
{
    EXPECT_EQ(TextRight("abc", 7), "abc");
    EXPECT_EQ(TextRight("abc", 0), "");
    EXPECT_EQ(TextRight("abcdef", 2), "ef");
    EXPECT_EQ(TextLeft("abc", -1), "");
    EXPECT_EQ(TextMid("abcdef", 0, 2), "ab");
    EXPECT_EQ(TextMid("abcdef", -5, 2), "ab");
    EXPECT_EQ(TextMid("abcdef", 7, 1), "");
    EXPECT_EQ(TextMid("abcdef", 4, 99), "def");
    EXPECT_EQ(TextCopy("abc", 2, -1), "");
    // Extreme arguments must not overflow into a bogus cut.
    EXPECT_EQ(TextRight("abc", INT_MIN), "");
    EXPECT_EQ(TextRight("abc", INT_MAX), "abc");
    EXPECT_EQ(TextCopy("abc", INT_MIN, INT_MAX), "abc");
}

TEST(TextTest, ReplaceFlags)
{
    EXPECT_EQ(TextReplace("09:00 - 10:30 - x", " - ", "", 0), "09:0010:30 - x");
    EXPECT_EQ(TextReplace("a<BR>b", "<br>", ", ", ReplaceAll), "a<BR>b");
    EXPECT_EQ(TextReplace("One<br>Two<BR>three<Br>", "<BR>", ", ", ReplaceAll | IgnoreCase), "One, Two, three, ");
    // Unreplaced pieces keep their own case.
    EXPECT_EQ(TextReplace("LEAVE - Ann leave - x", "Leave - ", "", IgnoreCase), "Ann leave - x");
    EXPECT_EQ(TextReplace("Jos\xC3\xA9 JOS\xC3\x89", "JOS\xC3\x89", "X", ReplaceAll | IgnoreCase), "X X");
}

TEST(TextTest, ReplaceNeverRescansAndHandlesEmptyAndNul)
{
    EXPECT_EQ(TextReplace("aa", "a", "aa", ReplaceAll), "aaaa");
    EXPECT_EQ(TextReplace("aaa", "aa", "b", ReplaceAll), "ba");
    EXPECT_EQ(TextReplace("xAx", "a", "aA", ReplaceAll | IgnoreCase), "xaAx");
    EXPECT_EQ(TextReplace("", "a", "b", ReplaceAll), "");
    EXPECT_EQ(TextReplace("abc", "", "x", ReplaceAll | IgnoreCase), "abc");
    // The search stops at a NUL of the text; the bytes after it come back untouched.
    EXPECT_EQ(TextReplace("a\0a"s, "a", "b", ReplaceAll), "b\0a"s);
    // A pattern holding a NUL cannot occur in the searched part, and must not cut bytes.
    EXPECT_EQ(TextReplace("ab\0cd"s, "b\0zz"s, "X", ReplaceAll), "ab\0cd"s);
}

TEST(TextTest, CaseMapping)
{
    EXPECT_EQ(TextUpper("abz{`@"), "ABZ{`@");
    // à and þ map; the division sign, ÿ and ß have no same-length capital and stay.
    EXPECT_EQ(TextUpper("\xC3\xA0\xC3\xBE\xC3\xB7\xC3\xBF\xC3\x9F"), "\xC3\x80\xC3\x9E\xC3\xB7\xC3\xBF\xC3\x9F");
    EXPECT_EQ(TextUpper("\xC3"), "\xC3");
    EXPECT_EQ(TextUpper("\xC3" "a"), "\xC3" "A");
    EXPECT_EQ(TextLower("ABC\xC3\x80Z[@]"), "abc\xC3\x80z[@]");
}

TEST(TextTest, TrimCharAtIntToText)
{
    EXPECT_EQ(TextTrim(" \t\r\n\0 "s), "");
    EXPECT_EQ(TextTrim("\t a b \r\n"), "a b");
    EXPECT_EQ(TextTrim("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TextCharAt("abc", 3), 'c');
    for (int bad : {0, -1, 4}) {
        try {
            TextCharAt("abc", bad);
            ADD_FAILURE() << bad;
        } catch (const ERangeError& e) {
            EXPECT_STREQ(e.what(), "Range check error");
        }
    }
    EXPECT_THROW(TextCharAt("", 1), ERangeError);
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-1), "-1");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}
