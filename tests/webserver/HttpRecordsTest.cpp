// The request and response records: header lookup, reason phrases and the response header.
#include <gtest/gtest.h>

#include "webserver/HttpDecode.h"
#include "webserver/HttpRecords.h"
#include "webserver/IOHandler.h"
#include "webserver/ServerErrors.h"

namespace {

struct TRecordedResponse {
    TRecordedResponse() : handler(std::make_unique<TIdMemoryConnection>("")), response(&handler) {}
    std::string Sent() {
        handler.Flush();
        return static_cast<TIdMemoryConnection&>(handler.Connection()).Output();
    }
    TIdIOHandler handler;
    TIdHTTPResponseInfo response;
};

TEST(HttpRecordsTest, ContentLengthMustBeA32BitInteger) {
    TIdHTTPRequestInfo request;
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"12", 12}, {" 7 ", 7}, {"2147483647", 2147483647}, {"2147483648", -1}, {"1e3", -1}, {"", -1}, {"-", -1}}) {
        request.HeaderLines = {"Content-Length: " + text};
        request.ReadFields();
        EXPECT_EQ(request.ContentLength, expected) << text;
    }
}

TEST(HttpRecordsTest, ReasonPhrases) {
    TIdHTTPResponseInfo response;
    EXPECT_EQ(response.StatusCode(), 200);
    EXPECT_EQ(response.ReasonPhrase(), "OK");
    response.SetStatusCode(413);
    EXPECT_EQ(response.ReasonPhrase(), "Request Entity To Long");
    response.SetStatusCode(402);
    EXPECT_EQ(response.ReasonPhrase(), "Unknown Response Code");
    response.CloseAfterResponse = false;
    response.SetStatusCode(404);
    EXPECT_TRUE(response.CloseAfterResponse);
}

TEST(HttpRecordsTest, HeaderOrderWithReplacementInPlace) {
    TRecordedResponse r;
    r.response.Server = "BaLtu";
    r.response.Location = "/x";
    r.response.Pragma = "no-cache";
    r.response.CustomHeaders = {"X-One: 1", "content-type: text/plain", "Server: other"};
    r.response.BodyText = "hello";
    r.response.SendBody();
    EXPECT_EQ(r.Sent(), "HTTP/1.1 200 OK\r\nConnection: close\r\ncontent-type: text/plain\r\nContent-Length: 5\r\n"
                        "Pragma: no-cache\r\nX-One: 1\r\nServer: BaLtu\r\nLocation: /x\r\n\r\nhello");
    EXPECT_TRUE(r.response.BodyText.empty());
    EXPECT_THROW(r.response.SendHeader(), EIdHTTPHeaderAlreadyWritten);
}

TEST(HttpRecordsTest, ReadLineAcrossChunks) {
    TIdIOHandler handler(std::make_unique<TIdMemoryConnection>("ab\r\r\ncd\nef", 1));
    EXPECT_EQ(handler.ReadLine(16), "ab\r");
    EXPECT_EQ(handler.ReadLine(16), "cd");
    EXPECT_THROW(handler.ReadLine(16), EIdConnClosedGracefully);
    TIdIOHandler longLine(std::make_unique<TIdMemoryConnection>("abcde\n", 2));
    EXPECT_THROW(longLine.ReadLine(4), EIdMaxLineLengthExceeded);
}

TEST(HttpRecordsTest, DecodingNeverFails) {
    EXPECT_EQ(DecodeURLText("%41%4g%%2", false), "A%4g%%2");
    EXPECT_EQ(DecodeURLText("a+b%2B", true), "a b+");
    EXPECT_EQ(DecodeBase64("dXNl*cjpw\nYXNz"), "user:pass");
    EXPECT_EQ(DecodeBase64("YQ==Zm9v"), "a");
}

}  // namespace
