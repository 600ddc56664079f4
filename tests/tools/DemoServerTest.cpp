// quorvane-democal as a process: one port for HTTPS and HTTP, the log-in and day-view round
// trip, request lines on standard error, bad input and stopping.
#include <gtest/gtest.h>

#include "board/DayPageParser.h"
#include "tests/tools/DemoProcess.h"
#include "tests/support/DayPageProbes.h"

using namespace quorvane;

namespace {

const std::string path = "/ocas-bin/ocas.fcgi";
const std::string LoginTarget =
    path + "?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on&server="
           "&srch_query=ann&srch_xitemid=&password=p%26w&ok=ok&ada=on";

std::string dayViewTarget(const std::string& item) {
    return path + "?sub=web&web=viewpub&ada=on&date=2026/12/06&view=day&searchTextField="
                  "&radioSearch=pub_name_radio&resultSelect=" + item + "/1&viewform.x=21&viewform.y=12";
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string body(const std::string& reply) {
    std::size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

// "ocas_session=..." from a response's Set-Cookie header, or empty.
std::string sessionCookie(const std::string& reply) {
    std::size_t at = reply.find("\r\nSet-Cookie: ");
    if (at == std::string::npos) return {};
    at += 14;
    return reply.substr(at, reply.find_first_of(";\r", at) - at);
}

// The url of a meta refresh, with "&amp;" read back as "&".
std::string refreshUrl(const std::string& body) {
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
    ASSERT_GT(server.port(), 0);
    for (const char* name : {"127.0.0.1", "localhost"}) {
        TlsReply reply = tlsExchange(server.port(), server.pem(), name, getRequest(LoginTarget));
        ASSERT_TRUE(reply.verified) << name;
        EXPECT_EQ(reply.text.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
        EXPECT_EQ(sessionCookie(reply.text).rfind("ocas_session=", 0), 0u);
        EXPECT_TRUE(contains(reply.text, "; Path=/"));
    }
    EXPECT_FALSE(tlsExchange(server.port(), server.pem(), "example.org", getRequest(LoginTarget)).verified);

    std::string plain = plainExchange(server.port(), getRequest(LoginTarget));
    EXPECT_EQ(plain.rfind("HTTP/1.1 403 Forbidden\r\n", 0), 0u);
    EXPECT_FALSE(contains(plain, "Set-Cookie"));
}

TEST(DemoServerTest, DayViewRedirectsAndShowsMarkersOnlyWithTheCookie) {
    DemoProcess server;
    std::string redirect = body(plainExchange(server.port(), getRequest(dayViewTarget("1002"))));
    std::string url = refreshUrl(redirect);
    EXPECT_EQ(url, path + "?sub=web&web=daypage&date=2026/12/06&item=1002");

    std::string anonymous = body(plainExchange(server.port(), getRequest(url)));
    EXPECT_TRUE(contains(anonymous, "Please log in"));
    EXPECT_EQ(countNumbered(anonymous, "meetingNum") + countNumbered(anonymous, "specialNum"), 0);

    std::string cookie = sessionCookie(tlsExchange(server.port(), server.pem(), "127.0.0.1", getRequest(LoginTarget)).text);
    ASSERT_FALSE(cookie.empty());
    std::string page = body(plainExchange(server.port(), getRequest(url, cookie)));
    EXPECT_EQ(countNumbered(page, "meetingNum"), 2);
    EXPECT_TRUE(contains(page, "Details</A>09:20 - 11:10<BR>Project sync<BR> (Room 2)</FONT>"));
    EXPECT_TRUE(contains(page, "Details</A>09:50 - 11:20<BR>Supplier call<BR> (Phone)</FONT>"));
}

TEST(DemoServerTest, EveryRequestIsOneLineOnStandardError) {
    DemoProcess server;
    plainExchange(server.port(), getRequest(dayViewTarget("1001")));
    plainExchange(server.port(), getRequest(path + "?sub=web&web=daypage&date=2026/12/06&item=1001", "ocas_session=x"));
    tlsExchange(server.port(), server.pem(), "127.0.0.1", getRequest(LoginTarget));
    std::string head = plainExchange(server.port(), "HEAD " + dayViewTarget("1001") + " HTTP/1.1\r\n\r\n");
    ASSERT_GE(head.size(), 4u);
    EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");  // the head alone
    plainExchange(server.port(), "GET /x\x1b[2J HTTP/1.1\r\n\r\n");
    ASSERT_EQ(server.stop(), 0);
    std::string log = server.errorOutput();
    EXPECT_TRUE(contains(log, "GET http " + dayViewTarget("1001") + " cookie=no\n")) << log;
    EXPECT_TRUE(contains(log, "GET http " + path + "?sub=web&web=daypage&date=2026/12/06&item=1001 cookie=yes\n"));
    EXPECT_TRUE(contains(log, "GET https " + LoginTarget + " cookie=no\n"));
    EXPECT_TRUE(contains(log, "HEAD http " + dayViewTarget("1001") + " cookie=no\n"));
    EXPECT_TRUE(contains(log, "democal: malformed request over http: GET /x\\x1B[2J HTTP/1.1\\x0D\\x0A"));
    EXPECT_FALSE(contains(log, "\x1b"));
}

TEST(DemoServerTest, BadInputGetsAnAnswerAndTheServerGoesOn) {
    DemoProcess server;
    // A client that connects and leaves, one that fails the TLS handshake, one that sends garbage.
    close(connectTo(server.port()));
    EXPECT_NE(plainExchange(server.port(), std::string("\x16\x03\x01\x00\x05hello", 10)).rfind("HTTP", 0), 0u);
    EXPECT_EQ(plainExchange(server.port(), "\x01\x02 garbage\r\n\r\n").rfind("HTTP/1.1 400 Bad Request", 0), 0u);
    EXPECT_EQ(plainExchange(server.port(), "GET / HTTP/1.1\r\nX: " + std::string(20000, 'a')).rfind("HTTP/1.1 431", 0), 0u);
    // A client that sends half a request and goes away.
    int fd = connectTo(server.port());
    send(fd, "GET / HT", 8, MSG_NOSIGNAL);
    close(fd);

    std::string ok = plainExchange(server.port(), getRequest(dayViewTarget("1001")));
    EXPECT_EQ(ok.rfind("HTTP/1.1 200 OK", 0), 0u);
    EXPECT_TRUE(contains(server.errorOutput(), "democal: TLS handshake failed"));
    EXPECT_EQ(server.stop(SIGINT), 0);
}

TEST(DemoServerTest, NeverCompleteFaultHoldsTheConnectionUntilStopped) {
    DemoProcess server({"--fault", "never-complete"});
    int fd = connectTo(server.port());
    std::string request = getRequest(dayViewTarget("1001"));
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 300), 0);  // no answer
    EXPECT_EQ(server.stop(), 0);     // and the held connection does not keep the server up
    close(fd);
}
