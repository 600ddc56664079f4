// Inputs from fuzzing the HTTP exchange, served from memory: the answer must not depend on how
// the bytes are cut into receive blocks, refused requests end unanswered, and no request may
// make its access line grow without bound.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ServerTestSupport.h"
#include "webserver/Transport.h"
#include "webserver/ServerErrors.h"

using namespace quorvane;

namespace {

struct Served {
    std::string output;
    bool refused = false;
    std::vector<std::string> lines;
};

Served serve(const std::string& input, std::size_t chunk) {
    FakeClock clock{boardTestTime()};
    RecordingLog log;
    PublishedBoard fragment;
    fragment.editFragment("<table><tr><td>Ann</td><td>%NOW</td><tr></table></body></html>");
    HttpServer server;
    server.setHandler([&](const HttpRequest& request, HttpResponse& response) {
        serveBoardPage(fragment.fragment(), clock, log, request, response);
    });
    auto memory = std::make_unique<MemoryTransport>(input, chunk);
    MemoryTransport& connection = *memory;
    ClientConnection context(std::move(memory));
    Served served;
    try {
        server.serveConnection(context);
    } catch (const QuorvaneError&) {
        served.refused = true;
    }
    EXPECT_TRUE(connection.closed());
    served.output = connection.output();
    served.lines = log.snapshot();
    return served;
}

TEST(HttpExchangeRegressionTest, ReceiveBlockSizeDoesNotChangeTheAnswer) {
    const std::vector<std::string> inputs = {
        "GET / HTTP/1.1\r\nHost: x\r\n\r\n",
        "get /a/b?x=1&y=%41+b HTTP/1.0\nReferer: a\nReferer: b\nUser-Agent: %R%b\n\n",
        "POST /f HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\na=1&b=2",
        "POST / HTTP/1.1\r\n\r\nbody until close",
        "HEAD * HTTP/1.1\r\nAuthorization: Basic dXNlcjpwYXNz\r\nCookie: a=1; b=2\r\n\r\n",
        "GET /%U%h%t%s HTTP/1.1\r\nUser-Agent: probe\r\n..X: 1\r\nX-Long: a\r\n  folded\r\nRange: bytes=-5\r\n\r\n",
        "GET / HTTP/1.1\r\nContent-Length: -3\r\n\r\n",
        "GET / HTTP/1.1\r\nContent-Length: 10\r\n\r\nshort",
        "GET / HTTP/1.1\r\nAuthorization: Bearer x\r\n\r\n",
        "GET / HTTP/1.1\r\r\n\r\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const Served whole = serve(input, 4096);
        for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u}) {
            const Served cut = serve(input, chunk);
            EXPECT_EQ(cut.output, whole.output) << "chunk " << chunk;
            EXPECT_EQ(cut.refused, whole.refused) << "chunk " << chunk;
            EXPECT_EQ(cut.lines, whole.lines) << "chunk " << chunk;
        }
    }
}

TEST(HttpExchangeRegressionTest, RefusedRequestsWriteNothingAndLogNothing) {
    const std::vector<std::string> inputs = {
        "GET / HTTP/1.1\r\nContent-Length: 10\r\n\r\nshort",
        "GET /" + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n",
    };
    for (const std::string& input : inputs) {
        const Served served = serve(input, 4096);
        EXPECT_TRUE(served.refused);
        EXPECT_TRUE(served.output.empty());
        EXPECT_TRUE(served.lines.empty());
    }
}

// A 12 KB request whose Referer is made of "%U" tokens and whose request line is made of "%R"
// tokens: were the client's tokens expanded, each "%R" would bring in the Referer and each of its
// "%U" the User-Agent, some 16 GB. The line stays bounded and the request answered.
TEST(HttpExchangeRegressionTest, AccessLineStaysBoundedUnderTokenExpansion) {
    std::string requestLine = "GET /";
    for (int i = 0; i < 2000; ++i) requestLine += "%R";
    std::string referer, agent(4000, 'a');
    for (int i = 0; i < 2000; ++i) referer += "%U";
    const Served served =
        serve(requestLine + " HTTP/1.1\r\nReferer: " + referer + "\r\nUser-Agent: " + agent + "\r\n\r\n", 4096);
    EXPECT_EQ(served.output.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    ASSERT_EQ(served.lines.size(), 1u);
    EXPECT_LE(served.lines[0].size(), MaxAccessLineBytes);
}

}  // namespace
