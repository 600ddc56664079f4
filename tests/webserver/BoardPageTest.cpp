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

TEST_F(BoardPageTest, PageTimeFollowsTheLocaleSeparators) {
    TFormatSettings formats = TFormatSettings::Fallback();
    formats.DateSep = '-';
    formats.TimeSep = '.';
    SetLocaleFormats(formats);
    EXPECT_EQ(Serve("%NOW"), BoardHead() + "06-12 17.28");
    SetLocaleFormats(TFormatSettings::Fallback());
}

TEST_F(BoardPageTest, AddTextWritesTheHeadOnlyIntoAnEmptyBody) {
    TIdHTTPResponseInfo response;
    AddText(response, "x");
    AddText(response, "y");
    EXPECT_EQ(response.BodyText, BoardHead() + "xy");
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

TEST_F(BoardPageTest, LengthComesFromContentLengthWhenSet) {
    TIdHTTPResponseInfo response;
    response.ContentLength = 5;
    ServeBoardPage("", clock, log, request, response);
    EXPECT_EQ(log.Lines().back(), "10.0.0.7 \"GET / HTTP/1.1\" 200 5");
}

TEST_F(BoardPageTest, LogFailurePropagatesWithThePlainContentType) {
    ThrowingLog failing;
    TIdHTTPResponseInfo response;
    EXPECT_THROW(ServeBoardPage("", clock, failing, request, response), EQuorvaneError);
    EXPECT_EQ(response.ContentType, "text/html");
}

}  // namespace
