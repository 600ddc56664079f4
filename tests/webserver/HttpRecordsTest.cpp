// The request and response records: header lookup, reason phrases and the response header.
#include <gtest/gtest.h>

#include "text/PercentEncoding.h"
#include "webserver/BufferedStream.h"
#include "webserver/HttpRecords.h"
#include "webserver/ServerErrors.h"

namespace {

TEST(HttpRecordsTest, ContentLengthMustBeA32BitInteger) {
    HttpRequest request;
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"12", 12}, {" 7 ", 7}, {"2147483647", 2147483647}, {"2147483648", -1}, {"1e3", -1}, {"", -1}, {"-", -1}}) {
        request.headerLines = {"Content-Length: " + text};
        request.readFields();
        EXPECT_EQ(request.contentLength, expected) << text;
    }
}

TEST(HttpRecordsTest, HeaderLookup) {
    // First line of a name wins, names match without regard to case but untrimmed, continuation
    // lines join the line before them and are never a header of their own.
    HttpRequest request;
    request.headerLines = {"host: first", "Host: second", "User-Agent: a", "\tb ", " Referer: inside",
                           "Referer : spaced", "ACCEPT:  x/y ", "Content-Length: 3", "Content-Length: 4", "Range:"};
    request.readFields();
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"Host", "first"}, {"accept", "x/y"}, {"Range", ""}, {"Referer", ""}, {"From", ""}})
        EXPECT_EQ(request.headerValue(name), value) << name;
    EXPECT_EQ(request.userAgent, "a b Referer: inside");
    EXPECT_EQ(request.referer, "");
    EXPECT_EQ(request.contentLength, 3);
    request.headerLines = {"Referer: r"};
    request.readFields();  // fields absent from the new lines are emptied
    EXPECT_EQ(request.referer, "r");
    EXPECT_EQ(request.userAgent, "");
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
}

TEST(HttpRecordsTest, ResponseHeaderOnce) {
    BufferedStream connection(std::make_unique<MemoryTransport>(""));
    HttpResponse response(&connection);
    response.contentType = "text/plain";
    response.cacheControl = "no-cache";
    response.bodyText = "hello";
    response.sendBody();
    connection.flush();
    EXPECT_EQ(static_cast<MemoryTransport&>(connection.connection()).output(),
              "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n"
              "Cache-control: no-cache\r\nServer: BaLtu\r\n\r\nhello");
    EXPECT_TRUE(response.bodyText.empty());
    EXPECT_THROW(response.sendHeader(), HeaderAlreadyWrittenError);
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
    EXPECT_EQ(percentDecode("%41%4g%%2"), "A%4g%%2");
    EXPECT_EQ(percentDecode("a+b%2B"), "a+b+");
}

}  // namespace
