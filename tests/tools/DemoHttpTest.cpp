// Request heads, query pairs, percent decoding, cookies and response bytes of the demo calendar.
#include <gtest/gtest.h>

#include "tools/democal/DemoHttp.h"

TEST(DemoHttpTest, RequestHeadsParseOrAreRejected) {
    std::string head = "GET /ocas-bin/ocas.fcgi?a=1 HTTP/1.1\r\nHost: 127.0.0.1\r\ncookie:  x=1; y=2 \r\n\r\n";
    ASSERT_EQ(HeadEnd(head), head.size());
    auto request = ParseRequestHead(head);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Method, "GET");
    EXPECT_EQ(request->Path(), "/ocas-bin/ocas.fcgi");
    EXPECT_EQ(request->Query(), "a=1");
    EXPECT_EQ(request->Header("COOKIE"), "x=1; y=2");
    EXPECT_FALSE(request->Header("Referer"));

    EXPECT_EQ(HeadEnd("GET / HTTP/1.0\n\nbody"), 16u);
    EXPECT_EQ(HeadEnd("GET / HTTP/1.1\r\nHost: x\r\n"), std::string::npos);

    for (const char* bad : {"", "\x16\x03\x01", "GET\r\n\r\n", "GET /\r\n\r\n", "GET / FTP/1.0\r\n\r\n",
                            "GET / HTTP/1.1\r\nno colon here\r\n\r\n", "G\x01T / HTTP/1.1\r\n\r\n"})
        EXPECT_FALSE(ParseRequestHead(bad)) << bad;
}

TEST(DemoHttpTest, QueryPairsKeepTheFirstOfARepeatedKey) {
    auto pairs = SplitQuery("sub=web&ada=on&server=&flag&&ada=off&x=a=b#ada=late");
    EXPECT_EQ(QueryValue(pairs, "ada"), "on");
    EXPECT_EQ(QueryValue(pairs, "server"), "");
    EXPECT_EQ(QueryValue(pairs, "flag"), "");
    EXPECT_EQ(QueryValue(pairs, "x"), "a=b");
    EXPECT_FALSE(QueryValue(pairs, "missing"));
    EXPECT_EQ(pairs.size(), 6u);
}

TEST(DemoHttpTest, PercentCodingRoundTripsAndLeavesMalformedEscapes) {
    EXPECT_EQ(PercentDecode("p%26w%20d%C3%A9"), "p&w d\xC3\xA9");
    EXPECT_EQ(PercentDecode("a+b%2"), "a+b%2");
    EXPECT_EQ(PercentDecode("%zz%4"), "%zz%4");
    EXPECT_EQ(PercentDecode("100%"), "100%");
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(PercentDecode(PercentEncodeQueryValue(all)), all);
    EXPECT_EQ(PercentEncodeQueryValue("1001&x=1#"), "1001%26x%3D1%23");
}

TEST(DemoHttpTest, CookiesAreFoundByExactName) {
    EXPECT_EQ(CookieValue("a=1; ocas_session=abc; b=2", "ocas_session"), "abc");
    EXPECT_EQ(CookieValue("xocas_session=abc;ocas_session=def", "ocas_session"), "def");
    EXPECT_FALSE(CookieValue("ocas_session; other=1", "ocas_session"));
    EXPECT_FALSE(CookieValue("", "ocas_session"));
}

TEST(DemoHttpTest, ResponsesCountTheirBodyAndHeadOmitsIt) {
    DemoResponse response{403, "Forbidden", "<P>no</P>", {{"Set-Cookie", "a=1; Path=/"}}};
    std::string full = SerializeResponse(response, false);
    EXPECT_EQ(full.rfind("HTTP/1.1 403 Forbidden\r\n", 0), 0u);
    EXPECT_NE(full.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos);
    EXPECT_NE(full.find("Content-Length: 9\r\n"), std::string::npos);
    EXPECT_NE(full.find("Connection: close\r\n"), std::string::npos);
    EXPECT_NE(full.find("\r\nSet-Cookie: a=1; Path=/\r\n\r\n<P>no</P>"), std::string::npos);
    std::string head = SerializeResponse(response, true);
    EXPECT_EQ(head, full.substr(0, full.size() - 9));
}

TEST(DemoHttpTest, LogTextShowsControlBytesEscaped) {
    EXPECT_EQ(Printable("a\r\n\x1b[31m\\\xC3"), "a\\x0D\\x0A\\x1B[31m\\x5C\\xC3");
}
