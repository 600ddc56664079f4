// The board page handler on its own: page head, page time, access line, failures.
#include <gtest/gtest.h>

#include "ServerTestSupport.h"
#include "text/Errors.h"

namespace {

class ThrowingLog final : public TLogWriter {
public:
    void Log(const std::string&, bool) override { throw EQuorvaneError("log full"); }
};

class BoardPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLocaleFormats(TFormatSettings::Fallback());
        request.PeerAddress = "10.0.0.7";
        request.RequestLine = "GET / HTTP/1.1";
    }
    std::string Serve(const std::string& fragment) {
        TIdHTTPResponseInfo response;
        ServeBoardPage(fragment, clock, log, request, response);
        EXPECT_EQ(response.ContentType, "text/html; charset=utf-8");
        return response.BodyText;
    }
    TFixedClock clock;
    TRecordingLog log;
    TIdHTTPRequestInfo request;
};

TEST_F(BoardPageTest, HeadIsTheSixPiecesIn808Characters) {
    const std::size_t lengths[6] = {42, 450, 100, 84, 92, 40};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(BoardPageHead[i].size(), lengths[i]) << i;
    EXPECT_EQ(BoardHead().find("font-family :  Verdana"), 124u);
    EXPECT_EQ(Serve(""), BoardHead());
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"10.0.0.7 \"GET / HTTP/1.1\" 200 808"});
}

TEST_F(BoardPageTest, OnlyTheFirstExactPageTimeTokenIsFilled) {
    EXPECT_EQ(Serve("a%NOWb%NOWc%now"), BoardHead() + "a06/12 17:28b%NOWc%now");
    EXPECT_EQ(Serve("<td>no token</td>"), BoardHead() + "<td>no token</td>");
}

TEST_F(BoardPageTest, AccessLineReplacementsApplyInTheirOrder) {
    request.RequestLine = "GET /%R|%U|%t|%h|%b HTTP/1.1";
    request.Referer = "ref%U%b";
    request.UserAgent = "ua%R";
    Serve("12345");
    EXPECT_EQ(log.Lines().back(), "10.0.0.7 \"GET /refua%R813|ua%R|%t|%h|813 HTTP/1.1\" 200 813");

    request.Referer.clear();
    request.UserAgent.clear();
    Serve("12345");
    EXPECT_EQ(log.Lines().back(), "10.0.0.7 \"GET /||%t|%h|813 HTTP/1.1\" 200 813");
}

// "%R" tokens in the request line each bring in a Referer of "%U" tokens, each of which brings in
// the User-Agent: gigabytes unless the line is cut.
TEST_F(BoardPageTest, TokenExpansionIsCutAtTheBound) {
    request.RequestLine = "GET /";
    for (int i = 0; i < 2000; ++i) request.RequestLine += "%R";
    for (int i = 0; i < 2000; ++i) request.Referer += "%U";
    request.UserAgent = std::string(4000, 'a');
    Serve("");
    EXPECT_EQ(log.Lines().back(), "10.0.0.7 \"GET /" + std::string(MaxAccessLineBytes - 15, 'a'));
}

TEST_F(BoardPageTest, LogFailurePropagatesWithThePlainContentType) {
    ThrowingLog failing;
    TIdHTTPResponseInfo response;
    EXPECT_THROW(ServeBoardPage("", clock, failing, request, response), EQuorvaneError);
    EXPECT_EQ(response.ContentType, "text/html");
}

}  // namespace
