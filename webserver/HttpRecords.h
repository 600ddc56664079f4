#pragma once
// The request and response records of one HTTP exchange. The server creates one of each per
// request, hands them to the handler and frees them after the response.
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "text/DateTime.h"

class TIdIOHandler;

// Header lines and the entity fields both records share.
class TIdEntityHeaderInfo {
public:
    virtual ~TIdEntityHeaderInfo() = default;

    // Fills the named fields from HeaderLines.
    virtual void ReadFields();
    // Rebuilds HeaderLines from the named fields.
    virtual void WriteFields();
    // Sets the fields to their defaults.
    virtual void ResetFields();

    // The value of the first header line whose name (the untrimmed text before its first ":")
    // equals name without regard to case; surrounding blanks removed, continuation lines (those
    // starting with a space or TAB) joined with one space. Empty when absent.
    std::string HeaderValue(std::string_view name) const;
    bool HasHeader(std::string_view name) const;

    std::vector<std::string> HeaderLines;
    std::string ContentVersion, ContentEncoding, ContentLanguage, ContentType, Pragma;
    std::int32_t ContentLength = -1;

protected:
    // Adds "name: value", or replaces in place the line of that name already present.
    void SetHeaderLine(const std::string& name, const std::string& value);
};

class TIdRequestHeaderInfo : public TIdEntityHeaderInfo {
public:
    void ReadFields() override;
    void WriteFields() override;
    void ResetFields() override;
    bool HasContentLength() const { return ContentLength >= 0; }

    std::string Accept, AcceptCharSet, AcceptEncoding, AcceptLanguage, Host, From, Referer, UserAgent,
        Connection;
    // Date-like and range headers are kept as text; nothing here interprets them.
    std::string Date, LastModified, Expires, Range;
};

class TIdResponseHeaderInfo : public TIdEntityHeaderInfo {
public:
    void ResetFields() override;

    std::string Location, CacheControl, Server;
    TDateTime Date = 0, Expires = 0, LastModified = 0;  // 0: not set
};

class TIdHTTPRequestInfo final : public TIdRequestHeaderInfo {
public:
    // Fills ParamList from the "&"-separated pieces of text, "+" as space, %-escapes decoded.
    void DecodeParams(std::string_view text);

    std::string RequestLine, PeerAddress, Method, ProtocolVersion, Target;
    std::string Path, QueryText, FormText, ParamText;
    std::vector<std::string> ParamList;
    std::vector<std::string> Cookies;
    bool AuthPresent = false;
    std::string AuthUser, AuthPassword;
};

class TIdHTTPResponseInfo final : public TIdResponseHeaderInfo {
public:
    explicit TIdHTTPResponseInfo(TIdIOHandler* connection = nullptr);

    void ResetFields() override;
    void WriteFields() override;

    std::int32_t StatusCode() const { return statusCode_; }
    // Sets ReasonPhrase from the table of codes; 404 also sets CloseAfterResponse.
    void SetStatusCode(std::int32_t code);
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    bool HeaderWritten() const { return headerWritten_; }

    // Writes the status line, the header lines and the blank line; once per response.
    void SendHeader();
    // Writes BodyText, or else BodyStream, after the header; then both are released.
    void SendBody();

    std::string Connection;
    std::string BodyText;
    std::unique_ptr<std::istream> BodyStream;
    bool CloseAfterResponse = true;
    std::vector<std::string> CustomHeaders;  // extra "Name: value" lines

private:
    TIdIOHandler* connection_;
    std::int32_t statusCode_ = 200;
    std::string reasonPhrase_ = "OK";
    bool headerWritten_ = false;
};

// The reason phrase of a status code, or "Unknown Response Code".
std::string ReasonPhraseOf(std::int32_t code);
// An HTTP date ("Tue, 08 Dec 2026 01:10:51 GMT") of a value taken as universal time.
std::string HttpDateText(TDateTime value);
