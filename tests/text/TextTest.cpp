// Text primitives: positions, clamped cuts, replacement and case mapping at their edges; UTF-8
// well-formedness and loopback hosts.
#include "text/Errors.h"
#include "text/Loopback.h"
#include "text/Text.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <climits>

using namespace std::string_literals;

TEST(TextTest, PosFindsFirstOccurrenceOrZero)
{
    EXPECT_EQ(textPos("", "abc"), 0);
    EXPECT_EQ(textPos("a", ""), 0);
    EXPECT_EQ(textPos("abcd", "abc"), 0);
    EXPECT_EQ(textPos("b", "abcb"), 2);
    EXPECT_EQ(textPos("B", "abc"), 0);
    EXPECT_EQ(textPos("\0x"s, "a\0x"s), 2);  // NUL is an ordinary character here
}

TEST(TextTest, CutsClampStartAndCount)
{
    EXPECT_EQ(textLeft("abc", -1), "");
    EXPECT_EQ(textMid("abcdef", 0, 2), "ab");
    EXPECT_EQ(textMid("abcdef", -5, 2), "ab");
    EXPECT_EQ(textMid("abcdef", 7, 1), "");
    EXPECT_EQ(textMid("abcdef", 4, 99), "def");
    EXPECT_EQ(textMid("abc", 2, -1), "");
    // Extreme arguments must not overflow into a bogus cut.
    EXPECT_EQ(textLeft("abc", INT_MAX), "abc");
    EXPECT_EQ(textMid("abc", INT_MIN, INT_MAX), "abc");
}

TEST(TextTest, ReplaceFlags)
{
    EXPECT_EQ(textReplace("09:00 - 10:30 - x", " - ", "", 0), "09:0010:30 - x");
    EXPECT_EQ(textReplace("a<BR>b", "<br>", ", ", ReplaceAll), "a<BR>b");
    EXPECT_EQ(textReplace("One<br>Two<BR>three<Br>", "<BR>", ", ", ReplaceAll | IgnoreCase), "One, Two, three, ");
    // Unreplaced pieces keep their own case.
    EXPECT_EQ(textReplace("LEAVE - Ann leave - x", "Leave - ", "", IgnoreCase), "Ann leave - x");
    EXPECT_EQ(textReplace("Jos\xC3\xA9 JOS\xC3\x89", "JOS\xC3\x89", "X", ReplaceAll | IgnoreCase), "X X");
}

TEST(TextTest, ReplaceNeverRescansAndHandlesEmptyAndNul)
{
    EXPECT_EQ(textReplace("aa", "a", "aa", ReplaceAll), "aaaa");
    EXPECT_EQ(textReplace("aaa", "aa", "b", ReplaceAll), "ba");
    EXPECT_EQ(textReplace("xAx", "a", "aA", ReplaceAll | IgnoreCase), "xaAx");
    EXPECT_EQ(textReplace("", "a", "b", ReplaceAll), "");
    EXPECT_EQ(textReplace("abc", "", "x", ReplaceAll | IgnoreCase), "abc");
    // The search stops at a NUL of the text; the bytes after it come back untouched.
    EXPECT_EQ(textReplace("a\0a"s, "a", "b", ReplaceAll), "b\0a"s);
    // A pattern holding a NUL cannot occur in the searched part, and must not cut bytes.
    EXPECT_EQ(textReplace("ab\0cd"s, "b\0zz"s, "X", ReplaceAll), "ab\0cd"s);
}

TEST(TextTest, CaseMapping)
{
    EXPECT_EQ(textUpper("abz{`@"), "ABZ{`@");
    // à and þ map; the division sign, ÿ and ß have no same-length capital and stay.
    EXPECT_EQ(textUpper("\xC3\xA0\xC3\xBE\xC3\xB7\xC3\xBF\xC3\x9F"), "\xC3\x80\xC3\x9E\xC3\xB7\xC3\xBF\xC3\x9F");
    EXPECT_EQ(textUpper("\xC3"), "\xC3");
    EXPECT_EQ(textUpper("\xC3" "a"), "\xC3" "A");
    EXPECT_EQ(textLower("ABC\xC3\x80Z[@]"), "abc\xC3\x80z[@]");
}

TEST(TextTest, CharAtIntToText)
{
    EXPECT_EQ(textCharAt("abc", 3), 'c');
    for (int bad : {0, -1, 4}) {
        try {
            textCharAt("abc", bad);
            ADD_FAILURE() << bad;
        } catch (const RangeError& e) {
            EXPECT_STREQ(e.what(), "Range check error");
        }
    }
    EXPECT_THROW(textCharAt("", 1), RangeError);
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(-1), "-1");
    EXPECT_EQ(intToText(INT32_MIN), "-2147483648");
}

TEST(TextTest, Utf8WellFormedness)
{
    const struct {
        std::string text, sanitized;
    } cases[] = {
        {"plain", "plain"},
        {"Jos\xC3\xA9 \xF0\x9F\x98\x80", "Jos\xC3\xA9 \xF0\x9F\x98\x80"},
        {"a\xC0\xAF" "b", "a\xEF\xBF\xBD\xEF\xBF\xBD" "b"},       // overlong: each byte replaced
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // beyond U+10FFFF
        {"x\xE2\x82", "x\xEF\xBF\xBD"},                            // cut short: one replacement
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sanitizeUtf8(c.text), c.sanitized) << c.text;
        EXPECT_EQ(isValidUtf8(c.text), c.text == c.sanitized) << c.text;
    }
}

TEST(TextTest, LoopbackAddresses)
{
    for (const char* host : {"127.0.0.1", "127.8.9.10", "::1", "[::1]", "0:0:0:0:0:0:0:1", "::ffff:127.0.0.2",
                             "::FFFF:127.0.0.1", "localhost", "LOCALHOST."})
        EXPECT_TRUE(isLoopbackAddress(host)) << host;
    for (const char* host : {"", "10.0.0.7", "128.0.0.1", "::2", "::ffff:10.0.0.1", "localhost.example.org",
                             "127.0.0.1.example.org", "127.1"})
        EXPECT_FALSE(isLoopbackAddress(host)) << host;
}
