#pragma once
// The request and response records of one HTTP exchange. The server creates one of each per
// request, hands them to the handler and frees them after the response.
#include <cstdint>
#include <initializer_list>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/DateTime.h"

class BufferedStream;

// Header lines and the entity fields both records share.
class HttpEntityHeaders {
public:
    virtual ~HttpEntityHeaders() = default;

    // Fills the named fields from headerLines.
    virtual void readFields();
    // Rebuilds headerLines from the named fields.
    virtual void writeFields();
    // Sets the fields to their defaults.
    virtual void resetFields();

    // The value of the first header line whose name (the untrimmed text before its first ":")
    // equals name without regard to case; surrounding blanks removed, continuation lines (those
    // starting with a space or TAB) joined with one space. Empty when absent.
    std::string headerValue(std::string_view name) const;
    bool hasHeader(std::string_view name) const;

    std::vector<std::string> headerLines;
    std::string contentVersion, contentEncoding, contentLanguage, contentType, pragma;
    std::int32_t contentLength = -1;

protected:
    // Adds "name: value", or replaces in place the line of that name already present.
    void setHeaderLine(const std::string& name, const std::string& value);

    struct NamedValue {
        std::string_view name;
        std::string* value;
    };
    // Sets each value to headerValue(name), in one pass over headerLines for all the names.
    void readValues(std::initializer_list<NamedValue> fields) const;

private:
    // The value of the header line at index, whose name ends at colon (see headerValue).
    std::string valueAt(std::size_t index, std::size_t colon) const;
};

class HttpRequestHeaders : public HttpEntityHeaders {
public:
    void readFields() override;
    void writeFields() override;
    void resetFields() override;
    bool hasContentLength() const { return contentLength >= 0; }

    std::string accept, acceptCharSet, acceptEncoding, acceptLanguage, host, from, referer, userAgent,
        connection;
    // Date-like and range headers are kept as text; nothing here interprets them.
    std::string date, lastModified, expires, range;
};

class HttpResponseHeaders : public HttpEntityHeaders {
public:
    void resetFields() override;

    std::string location, cacheControl, server;
    DateTime date = 0, expires = 0, lastModified = 0;  // 0: not set
};

class HttpRequest final : public HttpRequestHeaders {
public:
    // Fills paramList from the "&"-separated pieces of text, "+" as space, %-escapes decoded.
    void decodeParams(std::string_view text);

    std::string requestLine, peerAddress, method, protocolVersion, target;
    std::string path, queryText, formText, paramText;
    std::vector<std::string> paramList;
    std::vector<std::string> cookies;
    bool authPresent = false;
    std::string authUser, authPassword;
};

class HttpResponse final : public HttpResponseHeaders {
public:
    explicit HttpResponse(BufferedStream* connection = nullptr);

    void resetFields() override;
    void writeFields() override;

    std::int32_t statusCode() const { return statusCode_; }
    // Sets reasonPhrase from the table of codes; 404 also sets closeAfterResponse.
    void setStatusCode(std::int32_t code);
    const std::string& reasonPhrase() const { return reasonPhrase_; }
    bool headerWritten() const { return headerWritten_; }

    // Writes the status line, the header lines and the blank line; once per response.
    void sendHeader();
    // Writes bodyText, or else bodyStream, after the header; then both are released.
    void sendBody();

    std::string connection;
    std::string bodyText;
    std::unique_ptr<std::istream> bodyStream;
    bool closeAfterResponse = true;
    std::vector<std::string> customHeaders;  // extra "name: value" lines

private:
    BufferedStream* connection_;
    std::int32_t statusCode_ = 200;
    std::string reasonPhrase_ = "OK";
    bool headerWritten_ = false;
};

// The reason phrase of a status code, or "Unknown Response Code".
std::string reasonPhraseOf(std::int32_t code);
// An HTTP date ("Tue, 08 Dec 2026 01:10:51 GMT") of a value taken as universal time.
std::string httpDateText(DateTime value);
