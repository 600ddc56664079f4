// The HTTP exchange over real loopback connections: what each kind of request gets back, byte
// for byte, and which requests get nothing.
#include <gtest/gtest.h>

#include "ServerTestSupport.h"
#include "webserver/ServerErrors.h"

namespace {

std::string Header(std::size_t contentLength) {
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           std::to_string(contentLength) + "\r\nServer: BaLtu\r\n\r\n";
}

class HttpExchangeTest : public ::testing::Test, public TBoardServerFixture {
protected:
    void SetUp() override { port = Start(); }
    TClientResult Send(const std::string& request) { return Exchange(port, request); }
    std::uint16_t port = 0;
};

TEST_F(HttpExchangeTest, BoardResponseIsExactAndConnectionCloses) {
    fragment.Replace("<p>%NOW</p></body></html>");
    const std::string page = BoardHead() + "<p>06/12 17:28</p></body></html>";
    const TClientResult result = Send("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(result.closedByServer);
    EXPECT_EQ(result.bytes, Header(page.size()) + page);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"127.0.0.1 \"GET / HTTP/1.1\" 200 " + std::to_string(page.size())});
}

TEST_F(HttpExchangeTest, EmptyFragmentGivesTheHeadAlone) {
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n\r\n").bytes, Header(808) + BoardHead());
    fragment.Replace("abc");
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n\r\n").bytes, Header(811) + BoardHead() + "abc");
}

TEST_F(HttpExchangeTest, MethodsAndTargets) {
    const std::string expected = Header(808) + BoardHead();
    EXPECT_EQ(Send("get / HTTP/1.1\r\n\r\n").bytes, expected);
    EXPECT_EQ(LastRequest().Method, "GET");
    EXPECT_EQ(Send("HEAD / HTTP/1.1\r\n\r\n").bytes, expected);  // the body too
    EXPECT_EQ(Send("GET * HTTP/1.1\r\n\r\n").bytes, expected);
    EXPECT_EQ(LastRequest().Path, "*");
    EXPECT_EQ(Send("GET /any/thing?x=1 HTTP/1.0\r\n\r\n").bytes, expected);

    // No version: the text after the last space is taken as the version, the target is empty.
    EXPECT_EQ(Send("GET /\r\n\r\n").bytes, expected);
    EXPECT_EQ(LastRequest().ProtocolVersion, "/");
    EXPECT_EQ(LastRequest().Target, "");
    EXPECT_EQ(log.Lines().back(), "127.0.0.1 \"GET /\" 200 808");
}

TEST_F(HttpExchangeTest, RequestsThatGetNothing) {
    const std::vector<std::string> refused = {
        "OPTIONS / HTTP/1.1\r\n\r\n",              // other methods
        "\r\nGET / HTTP/1.1\r\n\r\n",              // empty first line
        "GET\r\n\r\n",                              // no space at all
        "GET / HTTP/1.1\r\nAuthorization: Bearer x\r\n\r\n",
        "GET / HTTP/1.1\r\nContent-Length: 2000000\r\n\r\n",  // body beyond the bound
    };
    for (const std::string& request : refused) {
        const TClientResult result = Send(request);
        EXPECT_TRUE(result.closedByServer) << request;
        EXPECT_EQ(result.bytes, "") << request;
    }
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(HttpExchangeTest, LineEndsAreReadAsGiven) {
    EXPECT_EQ(Send("GET / HTTP/1.1\nHost: a\nX: y\n\n").bytes, Header(808) + BoardHead());
    EXPECT_EQ(LastRequest().HeaderLines, (std::vector<std::string>{"Host: a", "X: y"}));
    Send("GET / HTTP/1.1\r\nX: y\r\r\nA\rB: c\r\n\r\n");
    EXPECT_EQ(LastRequest().HeaderLines, (std::vector<std::string>{"X: y\r", "A\rB: c"}));
}

TEST_F(HttpExchangeTest, HeaderLineCountLimit) {
    std::string lines;
    for (int i = 0; i < 1025; ++i) lines += "X-" + std::to_string(i) + ": v\r\n";
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n" + lines + "\r\n").bytes, Header(808) + BoardHead());
    EXPECT_EQ(LastRequest().HeaderLines.size(), 1025u);
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n" + lines + "X-last: v\r\n\r\n").bytes, "");
}

TEST_F(HttpExchangeTest, LineLengthLimitCountsTheCarriageReturn) {
    const std::string longest = "X: " + std::string(MaxLineLength - 4, 'a') + "\r";  // 16384 bytes before LF
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n" + longest + "\n\r\n").bytes, Header(808) + BoardHead());
    EXPECT_EQ(LastRequest().HeaderLines.front().size(), MaxLineLength - 1);  // without its CR
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n" + longest + "b\n\r\n").bytes, "");
    EXPECT_EQ(Send("GET /" + std::string(MaxLineLength, 'p') + " HTTP/1.1\r\n\r\n").bytes, "");
}

TEST_F(HttpExchangeTest, HeaderLookupRules) {
    Send("GET / HTTP/1.1\r\n..X: 1\r\nReferer: a\r\nreferer: b\r\nUser-Agent: one\r\n\ttwo  \r\n"
         "Host : ignored\r\nCookie: a=1; b=2 \r\n\r\n");
    const TIdHTTPRequestInfo request = LastRequest();
    EXPECT_EQ(request.HeaderLines.front(), ".X: 1");
    EXPECT_EQ(request.Referer, "a");
    EXPECT_EQ(request.UserAgent, "one two");
    EXPECT_EQ(request.Host, "");  // the name before ":" is not trimmed
    EXPECT_EQ(request.Cookies, (std::vector<std::string>{"a=1", "b=2"}));
}

TEST_F(HttpExchangeTest, KeepAliveAskedIsRefused) {
    const TClientResult result = Send("GET / HTTP/1.1\r\nConnection: keep-alive\r\n\r\n");
    EXPECT_TRUE(result.closedByServer);
    EXPECT_EQ(result.bytes, Header(808) + BoardHead());
}

TEST_F(HttpExchangeTest, PostBodyAndParameters) {
    EXPECT_EQ(Send("POST /p%41th%zz?q=1&r=a+b%21 HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                   "Content-Length: 5\r\n\r\nf=%2x")
                  .bytes,
              Header(808) + BoardHead());
    const TIdHTTPRequestInfo request = LastRequest();
    EXPECT_EQ(request.Path, "/pAth%zz");  // a malformed escape stays as it came
    EXPECT_EQ(request.FormText, "f=%2x");
    EXPECT_EQ(request.QueryText, "q=1&r=a+b%21");
    EXPECT_EQ(request.ParamText, "f=%2x&q=1&r=a+b%21");
    EXPECT_EQ(request.ParamList, (std::vector<std::string>{"f=%2x", "q=1", "r=a b!"}));
}

TEST_F(HttpExchangeTest, PostWithoutLengthIsReadToTheClose) {
    const TClientResult result = Exchange(port, "POST / HTTP/1.1\r\n\r\nbody", 5000, false, true);
    EXPECT_TRUE(result.closedByServer);
    EXPECT_EQ(LastRequest().FormText, "body");
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"127.0.0.1 \"POST / HTTP/1.1\" 200 808"});
}

TEST_F(HttpExchangeTest, BasicAuthorization) {
    Send("GET / HTTP/1.1\r\nAuthorization: basic dXNlcjpwYTpzcw==\r\n\r\n");
    EXPECT_TRUE(LastRequest().AuthPresent);
    EXPECT_EQ(LastRequest().AuthUser, "user");
    EXPECT_EQ(LastRequest().AuthPassword, "pa:ss");
    EXPECT_EQ(Send("GET / HTTP/1.1\r\nAuthorization: Basic !!not base64\r\n\r\n").bytes, Header(808) + BoardHead());
}

TEST_F(HttpExchangeTest, AccessLineTokensInsideTheRequestLine) {
    Send("GET /%U HTTP/1.1\r\nUser-Agent: probe\r\n\r\n");
    Send("GET /%h%t HTTP/1.1\r\n\r\n");
    Send("GET /%R%s%b HTTP/1.1\r\nReferer: r%U\r\nUser-Agent: u%R\r\n\r\n");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"127.0.0.1 \"GET /probe HTTP/1.1\" 200 808",
                                                     "127.0.0.1 \"GET /%h%t HTTP/1.1\" 200 808",
                                                     "127.0.0.1 \"GET /ru%R200808 HTTP/1.1\" 200 808"}));
}

TEST_F(HttpExchangeTest, HandlerErrorBecomesStatus500) {
    server.SetActive(false);
    server.OnCommandGet = [](TIdContext&, TIdHTTPRequestInfo&, TIdHTTPResponseInfo& response) {
        response.BodyText = "partial page";
        throw EConvertError("'x' is not a valid date and time");
    };
    port = Start();
    EXPECT_EQ(Send("GET / HTTP/1.1\r\n\r\n").bytes,
              "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\nContent-Type: text/html\r\n"
              "Content-Length: 32\r\nServer: BaLtu\r\n\r\n'x' is not a valid date and time");
}

TEST_F(HttpExchangeTest, ServedOverIPv6WhereAvailable) {
    if (!SocketIPv6Available()) GTEST_SKIP() << "no IPv6 on this machine";
    const TClientResult result = Exchange(port, "GET / HTTP/1.1\r\n\r\n", 5000, true);
    if (result.bytes.empty()) GTEST_SKIP() << "IPv6 loopback not configured";
    EXPECT_EQ(result.bytes, Header(808) + BoardHead());
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"0:0:0:0:0:0:0:1 \"GET / HTTP/1.1\" 200 808"});
}

// The exchange fed from memory one byte at a time, as the fuzzer feeds it.
TEST(HttpExchangeMemoryTest, ServesAConnectionFedFromMemory) {
    TIdHTTPServer server;
    server.SetServerSoftware("BaLtu");
    server.OnCommandGet = [](TIdContext&, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
        response.BodyText = request.Method + " " + request.Path;
    };
    auto owned = std::make_unique<TIdMemoryConnection>("head /a%20b HTTP/1.0\r\n\r\n", 1);
    TIdMemoryConnection* memory = owned.get();
    TIdContext context(std::move(owned));
    EXPECT_FALSE(server.ServeConnection(context));
    EXPECT_TRUE(memory->Closed());
    EXPECT_EQ(memory->Output(), "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/html\r\n"
                                "Content-Length: 9\r\nServer: BaLtu\r\n\r\nHEAD /a b");
}

}  // namespace
