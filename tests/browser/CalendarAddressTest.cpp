// The log-in and day-view addresses, byte for byte.
#include <gtest/gtest.h>

#include "browser/CalendarAddress.h"
#include "text/Text.h"

namespace {

TEST(CalendarAddress, LoginAddressExact)
{
    EXPECT_EQ(LoginAddress("cal.example:8443", "jdoe", "s3cret"),
              "https://cal.example:8443/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on"
              "&js_enabled=false&ada=on&server=&srch_query=jdoe&srch_xitemid=&password=s3cret&ok=ok&ada=on");
}

TEST(CalendarAddress, LoginCarriesAdaTwiceAsSixthAndTwelfthPair)
{
    const std::string url = LoginAddress("h", "u", "p");
    const std::string query = url.substr(url.find('?') + 1);
    std::vector<std::string> pairs;
    std::size_t start = 0;
    for (std::size_t amp; (amp = query.find('&', start)) != std::string::npos; start = amp + 1) {
        pairs.push_back(query.substr(start, amp - start));
    }
    pairs.push_back(query.substr(start));
    ASSERT_EQ(pairs.size(), 12u);
    EXPECT_EQ(pairs[5], "ada=on");
    EXPECT_EQ(pairs[11], "ada=on");
    EXPECT_EQ(pairs[7], "srch_query=u");
    EXPECT_EQ(pairs[9], "password=p");
}

TEST(CalendarAddress, CredentialsArePercentEncoded)
{
    const std::string url = LoginAddress("h", "j doe+1", "a&b#c%d=e");
    EXPECT_NE(TextPos("&srch_query=j%20doe%2B1&srch_xitemid=&password=a%26b%23c%25d%3De&ok=ok", url), 0);
    EXPECT_EQ(PercentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(PercentEncode("Jos\xC3\xA9/?"), "Jos%C3%A9%2F%3F");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(CalendarAddress, DayViewAddressExact)
{
    EXPECT_EQ(DayViewAddress("cal.example:8443", "2026/12/06", "4711"),
              "http://cal.example:8443/ocas-bin/ocas.fcgi?sub=web&web=viewpub&ada=on&date=2026/12/06&view=day"
              "&searchTextField=&radioSearch=pub_name_radio&resultSelect=4711/1&viewform.x=21&viewform.y=12");
}

TEST(CalendarAddress, ItemIdGoesInAsWritten)
{
    EXPECT_NE(TextPos("&resultSelect=/1&viewform.x", DayViewAddress("h", "2026/12/06", "")), 0);
    EXPECT_NE(TextPos("&resultSelect=a%20b&c/1&", DayViewAddress("h", "2026/12/06", "a%20b&c")), 0);
}

}  // namespace
