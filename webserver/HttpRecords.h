#pragma once
// The request and response records of one HTTP exchange. The server fills a request, hands it
// with an empty response to the handler, and writes the response after it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "webserver/ServerConstants.h"

namespace quorvane {

class BufferedStream;

struct HttpRequest {
    // The value of the first header line whose name (the untrimmed text before its first ":")
    // equals name without regard to case; surrounding blanks removed, continuation lines (those
    // starting with a space or TAB) joined with one space. Empty when absent.
    std::string headerValue(std::string_view name) const;
    // Sets the header fields below from headerLines.
    void readFields();

    std::string requestLine;    // as it came, for the access line
    std::string peerAddress;    // the client's address as text
    std::string method;         // upper case: GET, POST or HEAD
    std::string path;           // the target before any "?", percent-decoded ("*" as it came)
    std::vector<std::string> headerLines;
    std::string referer, userAgent;
    std::int32_t contentLength = -1;  // -1: absent, or not a 32-bit decimal
    // The body, kept only for requests the server's body filter asks for (at most
    // MaxKeptBodyBytes); over that it is let go as every other body is, and bodyTooLarge says so.
    std::string body;
    bool bodyTooLarge = false;
};

class HttpResponse {
public:
    explicit HttpResponse(BufferedStream* connection = nullptr) : connection_(connection) {}

    std::int32_t statusCode() const { return statusCode_; }
    // Sets the reason phrase from the table of codes too.
    void setStatusCode(std::int32_t code);
    const std::string& reasonPhrase() const { return reasonPhrase_; }
    bool headerWritten() const { return headerWritten_; }

    // Writes the status line, the header lines and the blank line; once per response.
    void sendHeader();
    // Writes bodyText after the header, then releases it.
    void sendBody();

    std::string contentType{DefaultContentType};
    std::string cacheControl;
    std::string location;             // a redirect's target; no header line when empty
    std::int32_t contentLength = -1;  // -1: the length of bodyText when the header is written
    std::string bodyText;

private:
    BufferedStream* connection_;
    std::int32_t statusCode_ = 200;
    std::string reasonPhrase_ = "OK";
    bool headerWritten_ = false;
};

// The reason phrase of a status code, or "Unknown Response Code".
std::string reasonPhraseOf(std::int32_t code);

}  // namespace quorvane
