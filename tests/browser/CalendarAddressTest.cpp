// The log-in and day-view addresses, byte for byte.
#include <gtest/gtest.h>

#include "browser/CalendarAddress.h"
#include "text/PercentEncoding.h"

using namespace quorvane;

TEST(CalendarAddress, ExactAddresses)
{
    // https log-in, ada as sixth and twelfth pair; http day view, item id with "/1".
    EXPECT_EQ(loginAddress("cal.example:8443", "jdoe", "s3cret"),
              "https://cal.example:8443/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on"
              "&js_enabled=false&ada=on&server=&srch_query=jdoe&srch_xitemid=&password=s3cret&ok=ok&ada=on");
    EXPECT_EQ(dayViewAddress("cal.example:8443", "2026/12/06", "4711"),
              "http://cal.example:8443/ocas-bin/ocas.fcgi?sub=web&web=viewpub&ada=on&date=2026/12/06&view=day"
              "&searchTextField=&radioSearch=pub_name_radio&resultSelect=4711/1&viewform.x=21&viewform.y=12");
    EXPECT_EQ(dayViewAddress("h", "d", ""), "http://h/ocas-bin/ocas.fcgi?sub=web&web=viewpub&ada=on&date=d"
                                            "&view=day&searchTextField=&radioSearch=pub_name_radio&resultSelect=/1"
                                            "&viewform.x=21&viewform.y=12");
}

TEST(CalendarAddress, CredentialsAreEncodedItemIdsAreNot)
{
    EXPECT_EQ(loginAddress("h", "j doe+1", "a&b#c%d=\xC3\xA9~"),
              "https://h/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false"
              "&ada=on&server=&srch_query=j%20doe%2B1&srch_xitemid=&password=a%26b%23c%25d%3D%C3%A9~&ok=ok&ada=on");
    EXPECT_EQ(percentEncode("AZaz09-._~"), "AZaz09-._~");
    EXPECT_NE(dayViewAddress("h", "d", "a%20b").find("resultSelect=a%20b/1&"), std::string::npos);
    // --calendar-https: the same address over https.
    EXPECT_EQ(dayViewAddress("h", "d", "7", true), "https" + dayViewAddress("h", "d", "7").substr(4));
}
