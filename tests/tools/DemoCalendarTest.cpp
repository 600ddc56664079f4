// The calendar's answers to log-in, day-page and bad requests, without sockets.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoConstants.h"
#include "tests/support/DayPageProbes.h"

using namespace quorvane;

namespace {

DemoRequest get(const std::string& target, const std::string& cookie = "") {
    DemoRequest request{"GET", target, "HTTP/1.1", {}};
    if (!cookie.empty()) request.headers.emplace_back("Cookie", cookie);
    return request;
}

std::string login(const std::string& user, const std::string& password) {
    return "/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on"
           "&server=&srch_query=" + user + "&srch_xitemid=&password=" + password + "&ok=ok&ada=on";
}

// The "name=value" of the response's Set-Cookie, or empty.
std::string cookieOf(const DemoResponse& response) {
    for (const auto& [name, value] : response.headers)
        if (name == "Set-Cookie") return value.substr(0, value.find(';'));
    return {};
}

DemoOptions tenAm() {
    DemoOptions options;
    options.now = parseMoment("2026-12-06 10:00");
    return options;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

TEST(DemoCalendarTest, LogInNeedsBothValuesAndTheConfiguredPair) {
    DemoCalendar open(tenAm());
    EXPECT_TRUE(cookieOf(open.handle(get(login("", "pw")), true)).empty());
    EXPECT_TRUE(cookieOf(open.handle(get(login("ann", "")), true)).empty());
    EXPECT_TRUE(cookieOf(open.handle(get("/ocas-bin/ocas.fcgi?sub=web&web=login"), true)).empty());
    DemoResponse first = open.handle(get(login("ann", "pw")), true);
    for (const auto& [name, value] : first.headers)
        if (name == "Set-Cookie") {
            EXPECT_FALSE(contains(value, "Secure"));  // day views come over http
        }
    EXPECT_NE(cookieOf(open.handle(get(login("ann", "pw")), true)), cookieOf(first));

    DemoOptions options = tenAm();
    options.user = "ann";
    options.password = "p&w #1";
    DemoCalendar checked(options);
    EXPECT_TRUE(cookieOf(checked.handle(get(login("ann", "p&w #1")), true)).empty());  // cut at "&" and "#"
    EXPECT_TRUE(cookieOf(checked.handle(get(login("bob", "p%26w%20%231")), true)).empty());
    EXPECT_TRUE(cookieOf(checked.handle(get(login("ann", "p%26w%20%232")), true)).empty());
    EXPECT_FALSE(cookieOf(checked.handle(get(login("ann", "p%26w%20%231")), true)).empty());
}

TEST(DemoCalendarTest, DayPagesFollowTheDateAskedForAndTheSession) {
    DemoCalendar calendar(tenAm());
    std::string cookie = cookieOf(calendar.handle(get(login("ann", "pw")), true));
    auto page = [&](const std::string& date, const std::string& item, const std::string& with) {
        return calendar.handle(get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&date=" + date + "&item=" + item, with), false).body;
    };
    for (const std::string& wrong : {std::string("ocas_session=forged"), std::string("other=1")})
        EXPECT_EQ(countNumbered(page("2026/12/06", "1002", wrong), "meetingNum"), 0) << wrong;

    // Another date shows the same day around the same time of day.
    std::string other = page("2027/01/04", "1002", "theme=dark; " + cookie);
    EXPECT_TRUE(contains(other, "Monday 4 January 2027"));
    EXPECT_TRUE(contains(other, "09:20 - 11:10<BR>Project sync"));
    EXPECT_EQ(countNumbered(page("2026/12/06", "42", cookie), "meetingNum"), 0);

    // An item id with query characters stays one value in the redirect.
    std::string redirect = calendar.handle(get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=2026-12-25&resultSelect=10%2602/1"), false).body;
    EXPECT_TRUE(contains(redirect, "date=2026/12/25&amp;item=10%2602\""));
}

TEST(DemoCalendarTest, SessionsAreBoundedOldestFirst) {
    DemoCalendar calendar(tenAm());
    std::string first = cookieOf(calendar.handle(get(login("a", "b")), true));
    std::string second = cookieOf(calendar.handle(get(login("a", "b")), true));
    for (std::size_t i = 1; i < DemoMaxSessions; ++i) calendar.handle(get(login("a", "b")), true);
    EXPECT_FALSE(calendar.hasSession(get("/", first)));
    EXPECT_TRUE(calendar.hasSession(get("/", second)));
}

TEST(DemoCalendarTest, BadRequestsGetClearAnswers) {
    DemoCalendar calendar(tenAm());
    auto status = [&](DemoRequest request) { return calendar.handle(request, false).status; };
    EXPECT_EQ(status(get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=today&resultSelect=1001/1")), 400);
    EXPECT_EQ(status(get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&item=1001")), 400);
    EXPECT_EQ(status(get("/ocas-bin/ocas.fcgi?sub=web&web=nonsense")), 400);
    EXPECT_EQ(status(get("/ocas-bin/ocas.fcgi")), 400);
    EXPECT_EQ(status(DemoRequest{"POST", "/ocas-bin/ocas.fcgi", "HTTP/1.1", {}}), 405);
    EXPECT_EQ(status(get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=2026/12/06&colour=blue&x")), 200);
    std::string echoed = calendar.handle(get("/ocas-bin/ocas.fcgi?sub=web&web=viewpub&date=<script>"), false).body;
    EXPECT_FALSE(contains(echoed, "<script>"));
    EXPECT_TRUE(contains(echoed, "&lt;script&gt;"));
}
