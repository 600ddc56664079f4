// quorvane-democal as a process: one port for HTTPS and HTTP, the log-in and day-view round
// trip, request lines on standard error, bad input and stopping.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "tests/tools/DemoProcess.h"

namespace {

const std::string Path = "/ocas-bin/ocas.fcgi";
const std::string LoginTarget =
    Path + "?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on&server="
           "&srch_query=ann&srch_xitemid=&password=p%26w&ok=ok&ada=on";

std::string DayViewTarget(const std::string& item) {
    return Path + "?sub=web&web=viewpub&ada=on&date=2026/12/06&view=day&searchTextField="
                  "&radioSearch=pub_name_radio&resultSelect=" + item + "/1&viewform.x=21&viewform.y=12";
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string Body(const std::string& reply) {
    std::size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

// "ocas_session=..." from a response's Set-Cookie header, or empty.
std::string SessionCookie(const std::string& reply) {
    std::size_t at = reply.find("\r\nSet-Cookie: ");
    if (at == std::string::npos) return {};
    at += 14;
    return reply.substr(at, reply.find_first_of(";\r", at) - at);
}

// The url of a meta refresh, with "&amp;" read back as "&".
std::string RefreshUrl(const std::string& body) {
    std::size_t at = body.find("content=\"0;url=");
    if (at == std::string::npos) return {};
    at += 15;
    std::string url = body.substr(at, body.find('"', at) - at);
    for (std::size_t amp; (amp = url.find("&amp;")) != std::string::npos;) url.replace(amp, 5, "&");
    return url;
}

}  // namespace

TEST(DemoServerTest, LogInSetsTheCookieOverVerifiedTlsOnly) {
    DemoProcess server;
    ASSERT_GT(server.Port(), 0);
    for (const char* name : {"127.0.0.1", "localhost"}) {
        TlsReply reply = TlsExchange(server.Port(), server.Pem(), name, GetRequest(LoginTarget));
        ASSERT_TRUE(reply.Verified) << name;
        EXPECT_EQ(reply.Text.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
        EXPECT_EQ(SessionCookie(reply.Text).rfind("ocas_session=", 0), 0u);
        EXPECT_TRUE(Contains(reply.Text, "; Path=/"));
    }
    EXPECT_FALSE(TlsExchange(server.Port(), server.Pem(), "example.org", GetRequest(LoginTarget)).Verified);

    std::string plain = PlainExchange(server.Port(), GetRequest(LoginTarget));
    EXPECT_EQ(plain.rfind("HTTP/1.1 403 Forbidden\r\n", 0), 0u);
    EXPECT_FALSE(Contains(plain, "Set-Cookie"));
}

TEST(DemoServerTest, DayViewRedirectsAndShowsMarkersOnlyWithTheCookie) {
    DemoProcess server;
    std::string redirect = Body(PlainExchange(server.Port(), GetRequest(DayViewTarget("1002"))));
    std::string url = RefreshUrl(redirect);
    EXPECT_EQ(url, Path + "?sub=web&web=daypage&date=2026/12/06&item=1002");

    std::string anonymous = Body(PlainExchange(server.Port(), GetRequest(url)));
    EXPECT_TRUE(Contains(anonymous, "Please log in"));
    EXPECT_EQ(CountNumbered(anonymous, "meetingNum") + CountNumbered(anonymous, "specialNum"), 0);

    std::string cookie = SessionCookie(TlsExchange(server.Port(), server.Pem(), "127.0.0.1", GetRequest(LoginTarget)).Text);
    ASSERT_FALSE(cookie.empty());
    std::string page = Body(PlainExchange(server.Port(), GetRequest(url, cookie)));
    EXPECT_EQ(CountNumbered(page, "meetingNum"), 2);
    EXPECT_TRUE(Contains(page, "Details</A>09:20 - 11:10<BR>Project sync<BR> (Room 2)</FONT>"));
    EXPECT_TRUE(Contains(page, "Details</A>09:50 - 11:20<BR>Supplier call<BR> (Phone)</FONT>"));
}

TEST(DemoServerTest, EveryRequestIsOneLineOnStandardError) {
    DemoProcess server;
    PlainExchange(server.Port(), GetRequest(DayViewTarget("1001")));
    PlainExchange(server.Port(), GetRequest(Path + "?sub=web&web=daypage&date=2026/12/06&item=1001", "ocas_session=x"));
    TlsExchange(server.Port(), server.Pem(), "127.0.0.1", GetRequest(LoginTarget));
    std::string head = PlainExchange(server.Port(), "HEAD " + DayViewTarget("1001") + " HTTP/1.1\r\n\r\n");
    ASSERT_GE(head.size(), 4u);
    EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");  // the head alone
    PlainExchange(server.Port(), "GET /x\x1b[2J HTTP/1.1\r\n\r\n");
    ASSERT_EQ(server.Stop(), 0);
    std::string log = server.Stderr();
    EXPECT_TRUE(Contains(log, "GET http " + DayViewTarget("1001") + " cookie=no\n")) << log;
    EXPECT_TRUE(Contains(log, "GET http " + Path + "?sub=web&web=daypage&date=2026/12/06&item=1001 cookie=yes\n"));
    EXPECT_TRUE(Contains(log, "GET https " + LoginTarget + " cookie=no\n"));
    EXPECT_TRUE(Contains(log, "HEAD http " + DayViewTarget("1001") + " cookie=no\n"));
    EXPECT_TRUE(Contains(log, "democal: malformed request over http: GET /x\\x1B[2J HTTP/1.1\\x0D\\x0A"));
    EXPECT_FALSE(Contains(log, "\x1b"));
}

TEST(DemoServerTest, BadInputGetsAnAnswerAndTheServerGoesOn) {
    DemoProcess server;
    // A client that connects and leaves, one that fails the TLS handshake, one that sends garbage.
    close(Connect(server.Port()));
    EXPECT_NE(PlainExchange(server.Port(), std::string("\x16\x03\x01\x00\x05hello", 10)).rfind("HTTP", 0), 0u);
    EXPECT_EQ(PlainExchange(server.Port(), "\x01\x02 garbage\r\n\r\n").rfind("HTTP/1.1 400 Bad Request", 0), 0u);
    EXPECT_EQ(PlainExchange(server.Port(), "GET / HTTP/1.1\r\nX: " + std::string(20000, 'a')).rfind("HTTP/1.1 431", 0), 0u);
    // A client that sends half a request and goes away.
    int fd = Connect(server.Port());
    send(fd, "GET / HT", 8, MSG_NOSIGNAL);
    close(fd);

    std::string ok = PlainExchange(server.Port(), GetRequest(DayViewTarget("1001")));
    EXPECT_EQ(ok.rfind("HTTP/1.1 200 OK", 0), 0u);
    EXPECT_TRUE(Contains(server.Stderr(), "democal: TLS handshake failed"));
    EXPECT_EQ(server.Stop(SIGINT), 0);
}

TEST(DemoServerTest, NeverCompleteFaultHoldsTheConnectionUntilStopped) {
    DemoProcess server({"--fault", "never-complete"});
    int fd = Connect(server.Port());
    std::string request = GetRequest(DayViewTarget("1001"));
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 300), 0);  // no answer
    EXPECT_EQ(server.Stop(), 0);     // and the held connection does not keep the server up
    close(fd);
}
