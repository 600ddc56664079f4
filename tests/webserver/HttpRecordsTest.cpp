// The request and response records: header lookup, reason phrases and the response header.
#include <gtest/gtest.h>

#include "webserver/HttpDecode.h"
#include "webserver/HttpRecords.h"
#include "webserver/BufferedStream.h"
#include "webserver/ServerErrors.h"
#include "text/PercentEncoding.h"

namespace {

struct RecordedResponse {
    RecordedResponse() : handler(std::make_unique<MemoryTransport>("")), response(&handler) {}
    std::string sent() {
        handler.flush();
        return static_cast<MemoryTransport&>(handler.connection()).output();
    }
    BufferedStream handler;
    HttpResponse response;
};

TEST(HttpRecordsTest, ContentLengthMustBeA32BitInteger) {
    HttpRequest request;
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"12", 12}, {" 7 ", 7}, {"2147483647", 2147483647}, {"2147483648", -1}, {"1e3", -1}, {"", -1}, {"-", -1}}) {
        request.headerLines = {"Content-Length: " + text};
        request.readFields();
        EXPECT_EQ(request.contentLength, expected) << text;
    }
}

TEST(HttpRecordsTest, FieldsReadInOnePassAgreeWithHeaderValue) {
    // First line of a name wins, names match without regard to case but untrimmed, continuation
    // lines join the line before them and are never a header of their own.
    HttpRequest request;
    request.headerLines = {"host: first", "Host: second", "User-Agent: a", "\tb ", " Referer: inside",
                           "Referer : spaced", "ACCEPT:  x/y ", "Content-Type: text/plain", "Content-Length: 3",
                           "Content-Length: 4", "Range:", "Connection: close", "Pragma: no-cache", "Date: d",
                           "Last-Modified: m", "Expires: e", "From: f", "Accept-Language: l",
                           "Accept-Encoding: g", "Accept-Charset: c", "Content-Encoding: z",
                           "Content-Language: en", "Content-Version: 1"};
    request.readFields();
    const std::vector<std::pair<std::string, const std::string*>> fields{
        {"Host", &request.host}, {"User-Agent", &request.userAgent}, {"Referer", &request.referer},
        {"Accept", &request.accept}, {"Content-Type", &request.contentType}, {"Range", &request.range},
        {"Connection", &request.connection}, {"Pragma", &request.pragma}, {"Date", &request.date},
        {"Last-Modified", &request.lastModified}, {"Expires", &request.expires}, {"From", &request.from},
        {"Accept-Language", &request.acceptLanguage}, {"Accept-Encoding", &request.acceptEncoding},
        {"Accept-Charset", &request.acceptCharSet}, {"Content-Encoding", &request.contentEncoding},
        {"Content-Language", &request.contentLanguage}, {"Content-Version", &request.contentVersion}};
    for (const auto& [name, field] : fields) EXPECT_EQ(*field, request.headerValue(name)) << name;
    EXPECT_EQ(request.host, "first");
    EXPECT_EQ(request.userAgent, "a b Referer: inside");
    EXPECT_EQ(request.referer, "");
    EXPECT_EQ(request.contentLength, 3);
    request.headerLines = {"Connection: keep-alive"};
    request.readFields();  // fields absent from the new lines are emptied
    EXPECT_EQ(request.host, "");
    EXPECT_EQ(request.connection, "keep-alive");
    EXPECT_EQ(request.contentLength, -1);
}

TEST(HttpRecordsTest, ReasonPhrases) {
    HttpResponse response;
    EXPECT_EQ(response.statusCode(), 200);
    EXPECT_EQ(response.reasonPhrase(), "OK");
    response.setStatusCode(413);
    EXPECT_EQ(response.reasonPhrase(), "Request Entity To Long");
    response.setStatusCode(402);
    EXPECT_EQ(response.reasonPhrase(), "Unknown Response Code");
    response.closeAfterResponse = false;
    response.setStatusCode(404);
    EXPECT_TRUE(response.closeAfterResponse);
}

TEST(HttpRecordsTest, HeaderOrderWithReplacementInPlace) {
    RecordedResponse r;
    r.response.server = "BaLtu";
    r.response.location = "/x";
    r.response.pragma = "no-cache";
    r.response.customHeaders = {"X-One: 1", "content-type: text/plain", "Server: other"};
    r.response.bodyText = "hello";
    r.response.sendBody();
    EXPECT_EQ(r.sent(), "HTTP/1.1 200 OK\r\nConnection: close\r\ncontent-type: text/plain\r\nContent-Length: 5\r\n"
                        "Pragma: no-cache\r\nX-One: 1\r\nServer: BaLtu\r\nLocation: /x\r\n\r\nhello");
    EXPECT_TRUE(r.response.bodyText.empty());
    EXPECT_THROW(r.response.sendHeader(), HeaderAlreadyWrittenError);
}

TEST(HttpRecordsTest, ReadLineAcrossChunks) {
    BufferedStream handler(std::make_unique<MemoryTransport>("ab\r\r\ncd\nef", 1));
    EXPECT_EQ(handler.readLine(16), "ab\r");
    EXPECT_EQ(handler.readLine(16), "cd");
    EXPECT_THROW(handler.readLine(16), ConnectionClosedError);
    BufferedStream longLine(std::make_unique<MemoryTransport>("abcde\n", 2));
    EXPECT_THROW(longLine.readLine(4), LineTooLongError);
}

TEST(HttpRecordsTest, DecodingNeverFails) {
    EXPECT_EQ(percentDecode("%41%4g%%2", false), "A%4g%%2");
    EXPECT_EQ(percentDecode("a+b%2B", true), "a b+");
    EXPECT_EQ(decodeBase64("dXNl*cjpw\nYXNz"), "user:pass");
    EXPECT_EQ(decodeBase64("YQ==Zm9v"), "a");
}

}  // namespace
