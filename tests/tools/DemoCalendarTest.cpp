// The calendar's answers to log-in, day-page and bad requests, without sockets.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoConstants.h"

namespace {

DemoRequest Get(const std::string& target, const std::string& cookie = "") {
    DemoRequest request{"GET", target, "HTTP/1.1", {}};
    if (!cookie.empty()) request.Headers.emplace_back("Cookie", cookie);
    return request;
}

std::string Login(const std::string& user, const std::string& password) {
    return "/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on"
           "&server=&srch_query=" + user + "&srch_xitemid=&password=" + password + "&ok=ok&ada=on";
}

// The "name=value" of the response's Set-Cookie, or empty.
std::string Cookie(const DemoResponse& response) {
    for (const auto& [name, value] : response.Headers)
        if (name == "Set-Cookie") return value.substr(0, value.find(';'));
    return {};
}

DemoOptions TenAm() {
    DemoOptions options;
    options.Now = ParseMoment("2026-12-06 10:00");
    return options;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

TEST(DemoCalendarTest, LogInNeedsBothValuesAndTheConfiguredPair) {
    DemoCalendar open(TenAm());
    EXPECT_TRUE(Cookie(open.Handle(Get(Login("", "pw")), true)).empty());
    EXPECT_TRUE(Cookie(open.Handle(Get(Login("ann", "")), true)).empty());
    EXPECT_TRUE(Cookie(open.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=login"), true)).empty());
    DemoResponse first = open.Handle(Get(Login("ann", "pw")), true);
    for (const auto& [name, value] : first.Headers)
        if (name == "Set-Cookie") {
            EXPECT_FALSE(Contains(value, "Secure"));  // day views come over http
        }
    EXPECT_NE(Cookie(open.Handle(Get(Login("ann", "pw")), true)), Cookie(first));

    DemoOptions options = TenAm();
    options.User = "ann";
    options.Password = "p&w #1";
    DemoCalendar checked(options);
    EXPECT_TRUE(Cookie(checked.Handle(Get(Login("ann", "p&w #1")), true)).empty());  // cut at "&" and "#"
    EXPECT_TRUE(Cookie(checked.Handle(Get(Login("bob", "p%26w%20%231")), true)).empty());
    EXPECT_TRUE(Cookie(checked.Handle(Get(Login("ann", "p%26w%20%232")), true)).empty());
    EXPECT_FALSE(Cookie(checked.Handle(Get(Login("ann", "p%26w%20%231")), true)).empty());
}

TEST(DemoCalendarTest, DayPagesFollowTheDateAskedForAndTheSession) {
    DemoCalendar calendar(TenAm());
    std::string cookie = Cookie(calendar.Handle(Get(Login("ann", "pw")), true));
    auto page = [&](const std::string& date, const std::string& item, const std::string& with) {
        return calendar.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&date=" + date + "&item=" + item, with), false).Body;
    };
    for (const std::string& wrong : {std::string("ocas_session=forged"), std::string("other=1")})
        EXPECT_EQ(CountNumbered(page("2026/12/06", "1002", wrong), "meetingNum"), 0) << wrong;

    // Another date shows the same day around the same time of day.
    std::string other = page("2027/01/04", "1002", "theme=dark; " + cookie);
    EXPECT_TRUE(Contains(other, "Monday 4 January 2027"));
    EXPECT_TRUE(Contains(other, "09:20 - 11:10<BR>Project sync"));
    EXPECT_EQ(CountNumbered(page("2026/12/06", "42", cookie), "meetingNum"), 0);

    // An item id with query characters stays one value in the redirect.
    std::string redirect = calendar.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=2026-12-25&resultSelect=10%2602/1"), false).Body;
    EXPECT_TRUE(Contains(redirect, "date=2026/12/25&amp;item=10%2602\""));
}

TEST(DemoCalendarTest, SessionsAreBoundedOldestFirst) {
    DemoCalendar calendar(TenAm());
    std::string first = Cookie(calendar.Handle(Get(Login("a", "b")), true));
    std::string second = Cookie(calendar.Handle(Get(Login("a", "b")), true));
    for (std::size_t i = 1; i < DemoMaxSessions; ++i) calendar.Handle(Get(Login("a", "b")), true);
    EXPECT_FALSE(calendar.HasSession(Get("/", first)));
    EXPECT_TRUE(calendar.HasSession(Get("/", second)));
}

TEST(DemoCalendarTest, BadRequestsGetClearAnswers) {
    DemoCalendar calendar(TenAm());
    auto status = [&](DemoRequest request) { return calendar.Handle(request, false).Status; };
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=today&resultSelect=1001/1")), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&item=1001")), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=nonsense")), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi")), 400);
    EXPECT_EQ(status(DemoRequest{"POST", "/ocas-bin/ocas.fcgi", "HTTP/1.1", {}}), 405);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=2026/12/06&colour=blue&x")), 200);
    std::string echoed = calendar.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=<script>"), false).Body;
    EXPECT_FALSE(Contains(echoed, "<script>"));
    EXPECT_TRUE(Contains(echoed, "&lt;script&gt;"));
}
