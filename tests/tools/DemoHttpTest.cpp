// Request heads, query pairs, percent coding and cookies of the demo calendar.
#include <gtest/gtest.h>

#include "tools/democal/DemoHttp.h"

TEST(DemoHttpTest, RequestHeadsParseOrAreRejected) {
    auto request = ParseRequestHead("GET /ocas-bin/ocas.fcgi?a=1 HTTP/1.1\r\ncookie:  x=1; y=2 \r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Path(), "/ocas-bin/ocas.fcgi");
    EXPECT_EQ(request->Header("COOKIE"), "x=1; y=2");
    EXPECT_EQ(HeadEnd("GET / HTTP/1.0\n\nbody"), 16u);
    for (const char* bad : {"", "\x16\x03\x01", "GET /\r\n\r\n", "GET / FTP/1.0\r\n\r\n",
                            "GET / HTTP/1.1\r\nno colon\r\n\r\n", "G\x01T / HTTP/1.1\r\n\r\n"})
        EXPECT_FALSE(ParseRequestHead(bad)) << bad;
}

TEST(DemoHttpTest, QueryPairsCodingAndCookies) {
    auto pairs = SplitQuery("sub=web&ada=on&flag&&ada=off&x=a=b#ada=late");
    EXPECT_EQ(QueryValue(pairs, "ada"), "on");  // the first of a repeated key
    EXPECT_EQ(QueryValue(pairs, "x"), "a=b");
    EXPECT_EQ(pairs.size(), 5u);
    EXPECT_EQ(PercentDecode("p%26w%C3%A9+%2"), "p&w\xC3\xA9+%2");
    EXPECT_EQ(PercentDecode("%zz100%"), "%zz100%");
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(PercentDecode(PercentEncodeQueryValue(all)), all);
    EXPECT_EQ(CookieValue("xocas_session=abc;ocas_session=def", "ocas_session"), "def");
    EXPECT_FALSE(CookieValue("ocas_session; other=1", "ocas_session"));
}
