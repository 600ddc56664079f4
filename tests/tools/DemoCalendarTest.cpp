// The calendar's answers to log-in, day-view and bad requests, without sockets.
#include <gtest/gtest.h>

#include "tests/tools/DayMarkup.h"
#include "tools/democal/DemoCalendar.h"
#include "tools/democal/DemoConstants.h"

namespace {

const std::string Login =
    "/ocas-bin/ocas.fcgi?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on"
    "&server=&srch_query=";

DemoRequest Get(const std::string& target, const std::string& cookie = "") {
    DemoRequest request{"GET", target, "HTTP/1.1", {{"Host", "127.0.0.1"}}};
    if (!cookie.empty()) request.Headers.emplace_back("Cookie", cookie);
    return request;
}

std::string LoginTarget(const std::string& user, const std::string& password) {
    return Login + user + "&srch_xitemid=&password=" + password + "&ok=ok&ada=on";
}

std::string DayViewTarget(const std::string& date, const std::string& item) {
    return "/ocas-bin/ocas.fcgi?sub=web&web=viewpub&ada=on&date=" + date +
           "&view=day&searchTextField=&radioSearch=pub_name_radio&resultSelect=" + item +
           "/1&viewform.x=21&viewform.y=12";
}

std::string SetCookie(const DemoResponse& response) {
    for (const auto& [name, value] : response.Headers)
        if (name == "Set-Cookie") return value;
    return {};
}

// The cookie pair ("name=value") of a Set-Cookie value.
std::string CookiePair(const std::string& setCookie) { return setCookie.substr(0, setCookie.find(';')); }

DemoOptions TenAm() {
    DemoOptions options;
    options.Now = ParseMoment("2026-12-06 10:00");
    return options;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

TEST(DemoCalendarTest, LogInSetsASessionCookieOverTlsOnly) {
    DemoCalendar calendar(TenAm());
    DemoResponse plain = calendar.Handle(Get(LoginTarget("ann", "pw")), false);
    EXPECT_EQ(plain.Status, 403);
    EXPECT_TRUE(SetCookie(plain).empty());

    DemoResponse secure = calendar.Handle(Get(LoginTarget("ann", "pw")), true);
    EXPECT_EQ(secure.Status, 200);
    std::string cookie = SetCookie(secure);
    EXPECT_EQ(cookie.rfind("ocas_session=", 0), 0u);
    EXPECT_TRUE(Contains(cookie, "; Path=/"));
    EXPECT_FALSE(Contains(cookie, "Secure"));  // the day views come over plain http

    // Two log-ins are two sessions.
    EXPECT_NE(CookiePair(SetCookie(calendar.Handle(Get(LoginTarget("ann", "pw")), true))), CookiePair(cookie));
}

TEST(DemoCalendarTest, LogInNeedsBothValuesAndTheConfiguredPair) {
    DemoCalendar open(TenAm());
    EXPECT_TRUE(SetCookie(open.Handle(Get(LoginTarget("", "pw")), true)).empty());
    EXPECT_TRUE(SetCookie(open.Handle(Get(LoginTarget("ann", "")), true)).empty());
    EXPECT_TRUE(SetCookie(open.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=login"), true)).empty());

    DemoOptions options = TenAm();
    options.User = "ann";
    options.Password = "p&w #1";
    DemoCalendar checked(options);
    EXPECT_TRUE(SetCookie(checked.Handle(Get(LoginTarget("ann", "p&w #1")), true)).empty());
    EXPECT_TRUE(SetCookie(checked.Handle(Get(LoginTarget("bob", "p%26w%20%231")), true)).empty());
    EXPECT_TRUE(SetCookie(checked.Handle(Get(LoginTarget("ann", "p%26w%20%232")), true)).empty());
    DemoResponse ok = checked.Handle(Get(LoginTarget("ann", "p%26w%20%231")), true);
    EXPECT_FALSE(SetCookie(ok).empty());
    EXPECT_TRUE(Contains(ok.Body, "Logged in"));
}

TEST(DemoCalendarTest, DayViewRedirectsToTheDayPageOfTheRequestedDate) {
    DemoCalendar calendar(TenAm());
    DemoResponse response = calendar.Handle(Get(DayViewTarget("2026/12/25", "1002")), false);
    EXPECT_EQ(response.Status, 200);
    EXPECT_TRUE(Contains(response.Body,
                         "<META http-equiv=\"refresh\" content=\"0;url=/ocas-bin/ocas.fcgi?sub=web&amp;"
                         "web=daypage&amp;date=2026/12/25&amp;item=1002\">"));
    // A regional separator is accepted, an id with query characters stays one value.
    EXPECT_TRUE(Contains(calendar.Handle(Get(DayViewTarget("2026-12-25", "10%2602")), false).Body,
                         "date=2026/12/25&amp;item=10%2602\""));
}

TEST(DemoCalendarTest, DayPageNeedsTheSessionCookie) {
    DemoCalendar calendar(TenAm());
    std::string cookie = CookiePair(SetCookie(calendar.Handle(Get(LoginTarget("ann", "pw")), true)));
    std::string page = "/ocas-bin/ocas.fcgi?sub=web&web=daypage&date=2026/12/06&item=1002";

    for (const std::string& wrong : {std::string(), std::string("ocas_session=forged"), std::string("other=1")}) {
        DemoResponse response = calendar.Handle(Get(page, wrong), false);
        EXPECT_TRUE(Contains(response.Body, "Please log in")) << wrong;
        EXPECT_FALSE(Contains(response.Body, "Num1")) << wrong;
    }
    DemoResponse response = calendar.Handle(Get(page, "theme=dark; " + cookie), false);
    auto meetings = MeetingsIn(response.Body);
    ASSERT_EQ(meetings.size(), 2u);
    EXPECT_EQ(meetings[0].Range, "09:20 - 11:10");
    EXPECT_EQ(meetings[1].Range, "09:50 - 11:20");
    EXPECT_TRUE(Contains(response.Body, "Sunday 6 December 2026"));

    // Another date shows the same pattern around the same time of day.
    DemoResponse other = calendar.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&date=2027/01/04&item=1002", cookie), false);
    EXPECT_EQ(MeetingsIn(other.Body)[0].Range, "09:20 - 11:10");
    EXPECT_TRUE(Contains(other.Body, "Monday 4 January 2027"));

    DemoResponse unknown = calendar.Handle(Get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&date=2026/12/06&item=42", cookie), false);
    EXPECT_EQ(unknown.Status, 200);
    EXPECT_FALSE(Contains(unknown.Body, "Num1"));
}

TEST(DemoCalendarTest, SessionsAreBoundedOldestFirst) {
    DemoCalendar calendar(TenAm());
    std::string first = CookiePair(SetCookie(calendar.Handle(Get(LoginTarget("a", "b")), true)));
    std::string second = CookiePair(SetCookie(calendar.Handle(Get(LoginTarget("a", "b")), true)));
    for (std::size_t i = 1; i < DemoMaxSessions; ++i) calendar.Handle(Get(LoginTarget("a", "b")), true);
    EXPECT_FALSE(calendar.HasSession(Get("/", first)));
    EXPECT_TRUE(calendar.HasSession(Get("/", second)));
}

TEST(DemoCalendarTest, BadRequestsGetClearAnswers) {
    DemoCalendar calendar(TenAm());
    auto status = [&](DemoRequest request) { return calendar.Handle(request, false).Status; };
    EXPECT_EQ(status(Get(DayViewTarget("2026/13/01", "1001"))), 400);
    EXPECT_EQ(status(Get(DayViewTarget("today", "1001"))), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=daypage&item=1001")), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi?sub=web&web=nonsense")), 400);
    EXPECT_EQ(status(Get("/ocas-bin/ocas.fcgi")), 400);
    EXPECT_EQ(status(Get("/index.html")), 404);
    EXPECT_EQ(status(DemoRequest{"POST", "/ocas-bin/ocas.fcgi", "HTTP/1.1", {}}), 405);
    // Unknown keys are ignored.
    EXPECT_EQ(status(Get(DayViewTarget("2026/12/06", "1001") + "&colour=blue&x")), 200);
    // Echoed input stays text.
    DemoResponse echoed = calendar.Handle(Get(DayViewTarget("<script>", "1")), false);
    EXPECT_FALSE(Contains(echoed.Body, "<script>"));
    EXPECT_TRUE(Contains(echoed.Body, "&lt;script&gt;"));
}
