#include "webserver/HttpRecords.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "text/Text.h"
#include "webserver/BufferedStream.h"
#include "webserver/HttpDecode.h"
#include "webserver/ServerErrors.h"

namespace quorvane {

namespace {

bool isContinuation(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// A 32-bit signed decimal, or -1 when the text is not one.
std::int32_t parseInt32(const std::string& text) {
    if (text.empty()) return -1;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return -1;
    for (std::size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9') return -1;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return -1;
    return static_cast<std::int32_t>(value);
}

constexpr std::array<std::pair<std::int32_t, const char*>, 35> ReasonPhrases{{
    {100, "Continue"}, {200, "OK"}, {201, "Created"}, {202, "Accepted"},
    {203, "Non-authoritative Information"}, {204, "No Content"}, {205, "Reset Content"},
    {206, "Partial Content"}, {301, "Moved Permanently"}, {302, "Moved Temporarily"},
    {303, "See Other"}, {304, "Not Modified"}, {305, "Use Proxy"}, {400, "Bad Request"},
    {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Not Found"}, {405, "Method not allowed"},
    {406, "Not Acceptable"}, {407, "Proxy Authentication Required"}, {408, "Request Timeout"},
    {409, "Conflict"}, {410, "Gone"}, {411, "Length Required"}, {412, "Precondition Failed"},
    {413, "Request Entity To Long"}, {414, "Request-URI Too Long. 256 Chars max"},
    {415, "Unsupported Media Type"}, {429, "Too Many Requests"}, {500, "Internal Server Error"}, {501, "Not Implemented"},
    {502, "Bad Gateway"}, {503, "Service Unavailable"}, {504, "Gateway timeout"},
    {505, "HTTP version not supported"},
}};

void appendHeaderLine(std::string& block, std::string_view name, std::string_view value) {
    block.append(name).append(": ").append(value).append(LineEnd);
}

}  // namespace

std::string reasonPhraseOf(std::int32_t code) {
    for (const auto& [number, phrase] : ReasonPhrases)
        if (number == code) return phrase;
    return std::string(MsgUnknownResponseCode);
}

// ---- request ------------------------------------------------------------------------------

std::string HttpRequest::headerValue(std::string_view name) const {
    for (std::size_t i = 0; i < headerLines.size(); ++i) {
        const std::string& line = headerLines[i];
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || !sameTextAscii(std::string_view(line).substr(0, colon), name)) continue;
        std::string value(trimBlanks(std::string_view(line).substr(colon + 1)));
        for (std::size_t j = i + 1; j < headerLines.size() && isContinuation(headerLines[j]); ++j) {
            value += ' ';
            value += trimBlanks(headerLines[j]);
        }
        return value;
    }
    return {};
}

void HttpRequest::readFields() {
    referer = headerValue("Referer");
    userAgent = headerValue("User-Agent");
    contentLength = parseInt32(headerValue("Content-Length"));
}

// ---- response -----------------------------------------------------------------------------

void HttpResponse::setStatusCode(std::int32_t code) {
    statusCode_ = code;
    reasonPhrase_ = reasonPhraseOf(code);
}

void HttpResponse::sendHeader() {
    if (headerWritten_) throw HeaderAlreadyWrittenError(std::string(MsgHeaderWritten));
    headerWritten_ = true;
    if (contentLength == -1 && !bodyText.empty()) contentLength = static_cast<std::int32_t>(bodyText.size());
    std::string block;
    block.reserve(256);
    block.append(StatusLineStart).append(std::to_string(statusCode_)).append(" ").append(reasonPhrase_).append(LineEnd);
    // One request per connection: every answer closes it.
    appendHeaderLine(block, "Connection", "close");
    if (!contentType.empty()) appendHeaderLine(block, "Content-Type", contentType);
    if (contentLength >= 0) appendHeaderLine(block, "Content-Length", std::to_string(contentLength));
    if (!cacheControl.empty()) appendHeaderLine(block, "Cache-control", cacheControl);
    if (!location.empty()) appendHeaderLine(block, "Location", location);
    appendHeaderLine(block, "Server", ServerSoftware);
    block.append(LineEnd);
    connection_->write(block);
}

void HttpResponse::sendBody() {
    if (!headerWritten_) sendHeader();
    if (!bodyText.empty()) connection_->write(bodyText);
    bodyText.clear();
}

}  // namespace quorvane
