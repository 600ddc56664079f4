// Request heads, query pairs, percent coding and cookies of the demo calendar.
#include <gtest/gtest.h>

#include "tools/democal/DemoHttp.h"
#include "text/PercentEncoding.h"

using namespace quorvane;

TEST(DemoHttpTest, RequestHeadsParseOrAreRejected) {
    auto request = parseRequestHead("GET /ocas-bin/ocas.fcgi?a=1 HTTP/1.1\r\ncookie:  x=1; y=2 \r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->path(), "/ocas-bin/ocas.fcgi");
    EXPECT_EQ(request->header("COOKIE"), "x=1; y=2");
    EXPECT_EQ(headEnd("GET / HTTP/1.0\n\nbody"), 16u);
    for (const char* bad : {"", "\x16\x03\x01", "GET /\r\n\r\n", "GET / FTP/1.0\r\n\r\n",
                            "GET / HTTP/1.1\r\nno colon\r\n\r\n", "G\x01T / HTTP/1.1\r\n\r\n"})
        EXPECT_FALSE(parseRequestHead(bad)) << bad;
}

TEST(DemoHttpTest, QueryPairsCodingAndCookies) {
    auto pairs = splitQuery("sub=web&ada=on&flag&&ada=off&x=a=b#ada=late");
    EXPECT_EQ(queryValue(pairs, "ada"), "on");  // the first of a repeated key
    EXPECT_EQ(queryValue(pairs, "x"), "a=b");
    EXPECT_EQ(pairs.size(), 5u);
    EXPECT_EQ(percentDecode("p%26w%C3%A9+%2"), "p&w\xC3\xA9+%2");
    EXPECT_EQ(percentDecode("%zz100%"), "%zz100%");
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(percentDecode(percentEncode(all)), all);
    EXPECT_EQ(cookieValue("xocas_session=abc;ocas_session=def", "ocas_session"), "def");
    EXPECT_FALSE(cookieValue("ocas_session; other=1", "ocas_session"));
}
