#include "webserver/HttpRecords.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "text/Text.h"
#include "webserver/HttpDecode.h"
#include "webserver/BufferedStream.h"
#include "webserver/ServerConstants.h"
#include "webserver/ServerErrors.h"
#include "text/PercentEncoding.h"

namespace {

// The name part of a header line: the text before its first ":", untrimmed; npos when none.
std::size_t nameEnd(const std::string& line) { return line.find(':'); }

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

constexpr std::array<std::pair<std::int32_t, const char*>, 34> ReasonPhrases{{
    {100, "Continue"}, {200, "OK"}, {201, "Created"}, {202, "Accepted"},
    {203, "Non-authoritative Information"}, {204, "No Content"}, {205, "Reset Content"},
    {206, "Partial Content"}, {301, "Moved Permanently"}, {302, "Moved Temporarily"},
    {303, "See Other"}, {304, "Not Modified"}, {305, "Use Proxy"}, {400, "Bad Request"},
    {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Not Found"}, {405, "Method not allowed"},
    {406, "Not Acceptable"}, {407, "Proxy Authentication Required"}, {408, "Request Timeout"},
    {409, "Conflict"}, {410, "Gone"}, {411, "Length Required"}, {412, "Precondition Failed"},
    {413, "Request Entity To Long"}, {414, "Request-URI Too Long. 256 Chars max"},
    {415, "Unsupported Media Type"}, {500, "Internal Server Error"}, {501, "Not Implemented"},
    {502, "Bad Gateway"}, {503, "Service Unavailable"}, {504, "Gateway timeout"},
    {505, "HTTP version not supported"},
}};

}  // namespace

std::string reasonPhraseOf(std::int32_t code) {
    for (const auto& [number, phrase] : ReasonPhrases)
        if (number == code) return phrase;
    return std::string(MsgUnknownResponseCode);
}

std::string httpDateText(DateTime value) {
    static constexpr const char* Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const DateTimeParts p = decodeDateTime(value);
    // Day 0 (30 December 1899) was a Saturday.
    long long day = static_cast<long long>(encodeDate(p.year, p.month, p.day));
    const int weekday = static_cast<int>(((day + 6) % 7 + 7) % 7);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", Days[weekday], p.day,
                  Months[p.month - 1], p.year, p.hour, p.minute, p.second);
    return text;
}

// ---- entity -------------------------------------------------------------------------------

std::string HttpEntityHeaders::valueAt(std::size_t index, std::size_t colon) const {
    std::string value(trimBlanks(std::string_view(headerLines[index]).substr(colon + 1)));
    for (std::size_t j = index + 1; j < headerLines.size() && isContinuation(headerLines[j]); ++j) {
        value += ' ';
        value += trimBlanks(headerLines[j]);
    }
    return value;
}

std::string HttpEntityHeaders::headerValue(std::string_view name) const {
    for (std::size_t i = 0; i < headerLines.size(); ++i) {
        const std::string& line = headerLines[i];
        const std::size_t colon = nameEnd(line);
        if (colon != std::string::npos && sameTextAscii(std::string_view(line).substr(0, colon), name))
            return valueAt(i, colon);
    }
    return {};
}

void HttpEntityHeaders::readValues(std::initializer_list<NamedValue> fields) const {
    // One pass over the lines instead of one per name: the first line of each name gives its
    // value, as headerValue would, and the later lines of a name already set are passed over.
    std::uint32_t set = 0;  // bit k: the k-th field has its value
    for (const NamedValue& field : fields) field.value->clear();
    for (std::size_t i = 0; i < headerLines.size(); ++i) {
        const std::string& line = headerLines[i];
        const std::size_t colon = nameEnd(line);
        if (colon == std::string::npos) continue;
        const std::string_view name = std::string_view(line).substr(0, colon);
        std::uint32_t bit = 1;
        for (const NamedValue& field : fields) {
            if (!(set & bit) && sameTextAscii(name, field.name)) {
                *field.value = valueAt(i, colon);
                set |= bit;
                break;
            }
            bit <<= 1;
        }
    }
}

bool HttpEntityHeaders::hasHeader(std::string_view name) const {
    for (const std::string& line : headerLines) {
        const std::size_t colon = nameEnd(line);
        if (colon != std::string::npos && sameTextAscii(std::string_view(line).substr(0, colon), name)) return true;
    }
    return false;
}

void HttpEntityHeaders::setHeaderLine(const std::string& name, const std::string& value) {
    std::string line = name + ": " + value;
    for (std::string& existing : headerLines) {
        const std::size_t colon = nameEnd(existing);
        if (colon != std::string::npos && sameTextAscii(std::string_view(existing).substr(0, colon), name)) {
            existing = std::move(line);
            return;
        }
    }
    headerLines.push_back(std::move(line));
}

void HttpEntityHeaders::readFields() {
    std::string length;
    readValues({{"Content-Version", &contentVersion},
                {"Content-Encoding", &contentEncoding},
                {"Content-Language", &contentLanguage},
                {"Content-Type", &contentType},
                {"Content-Length", &length},
                {"Pragma", &pragma}});
    contentLength = parseInt32(length);
}

void HttpEntityHeaders::writeFields() {
    if (!contentVersion.empty()) setHeaderLine("Content-Version", contentVersion);
    if (!contentEncoding.empty()) setHeaderLine("Content-Encoding", contentEncoding);
    if (!contentLanguage.empty()) setHeaderLine("Content-Language", contentLanguage);
    if (!contentType.empty()) setHeaderLine("Content-Type", contentType);
    if (contentLength >= 0) setHeaderLine("Content-Length", std::to_string(contentLength));
}

void HttpEntityHeaders::resetFields() {
    contentVersion.clear();
    contentEncoding.clear();
    contentLanguage.clear();
    contentType.clear();
    pragma.clear();
    contentLength = -1;
}

// ---- request ------------------------------------------------------------------------------

void HttpRequestHeaders::readFields() {
    HttpEntityHeaders::readFields();
    readValues({{"Accept", &accept},
                {"Accept-Charset", &acceptCharSet},
                {"Accept-Encoding", &acceptEncoding},
                {"Accept-Language", &acceptLanguage},
                {"Host", &host},
                {"From", &from},
                {"Referer", &referer},
                {"User-Agent", &userAgent},
                {"Connection", &connection},
                {"Date", &date},
                {"Last-Modified", &lastModified},
                {"Expires", &expires},
                {"Range", &range}});
}

void HttpRequestHeaders::writeFields() {
    const std::pair<const char*, const std::string*> fields[] = {
        {"Accept", &accept}, {"Accept-Charset", &acceptCharSet}, {"Accept-Encoding", &acceptEncoding},
        {"Accept-Language", &acceptLanguage}, {"Host", &host}, {"From", &from}, {"Referer", &referer},
        {"User-Agent", &userAgent}, {"Connection", &connection}, {"Range", &range}};
    for (const auto& [name, value] : fields)
        if (!value->empty()) setHeaderLine(name, *value);
    HttpEntityHeaders::writeFields();
}

void HttpRequestHeaders::resetFields() {
    HttpEntityHeaders::resetFields();
    for (std::string* field : {&accept, &acceptCharSet, &acceptEncoding, &acceptLanguage, &host, &from, &referer,
                               &userAgent, &connection, &date, &lastModified, &expires, &range})
        field->clear();
}

void HttpRequest::decodeParams(std::string_view text) {
    paramList.clear();
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        const std::string_view piece = text.substr(0, amp);
        if (!piece.empty()) paramList.push_back(percentDecode(piece, true));
        if (amp == std::string_view::npos) break;
        text.remove_prefix(amp + 1);
    }
}

// ---- response -----------------------------------------------------------------------------

void HttpResponseHeaders::resetFields() {
    HttpEntityHeaders::resetFields();
    location.clear();
    cacheControl.clear();
    server = std::string(ServerSoftware);
    date = expires = lastModified = 0;
}

HttpResponse::HttpResponse(BufferedStream* connection) : connection_(connection) {
    resetFields();
}

void HttpResponse::resetFields() {
    HttpResponseHeaders::resetFields();
    contentType = std::string(DefaultContentType);
    connection = "close";
    closeAfterResponse = true;
    bodyText.clear();
    bodyStream.reset();
    customHeaders.clear();
    setStatusCode(200);
}

void HttpResponse::setStatusCode(std::int32_t code) {
    statusCode_ = code;
    reasonPhrase_ = reasonPhraseOf(code);
    if (code == 404) closeAfterResponse = true;
}

void HttpResponse::writeFields() {
    headerLines.clear();
    if (!connection.empty()) setHeaderLine("Connection", connection);
    if (!contentVersion.empty()) setHeaderLine("Content-Version", contentVersion);
    if (!contentEncoding.empty()) setHeaderLine("Content-Encoding", contentEncoding);
    if (!contentLanguage.empty()) setHeaderLine("Content-Language", contentLanguage);
    if (!contentType.empty()) setHeaderLine("Content-Type", contentType);
    if (contentLength >= 0) setHeaderLine("Content-Length", std::to_string(contentLength));
    if (!cacheControl.empty()) setHeaderLine("Cache-control", cacheControl);
    if (date > 0) setHeaderLine("Date", httpDateText(date));
    if (expires > 0) setHeaderLine("Expires", httpDateText(expires));
    if (!pragma.empty()) setHeaderLine("Pragma", pragma);
    for (const std::string& extra : customHeaders) {
        const std::size_t colon = extra.find(':');
        if (colon == std::string::npos) continue;
        setHeaderLine(extra.substr(0, colon), std::string(trimBlanks(std::string_view(extra).substr(colon + 1))));
    }
    if (!server.empty()) setHeaderLine("Server", server);
    if (!location.empty()) setHeaderLine("Location", location);
    if (lastModified > 0) setHeaderLine("Last-Modified", httpDateText(lastModified));
}

void HttpResponse::sendHeader() {
    if (headerWritten_) throw HeaderAlreadyWrittenError(std::string(MsgHeaderWritten));
    headerWritten_ = true;
    if (contentLength == -1) {
        if (!bodyText.empty()) {
            contentLength = static_cast<std::int32_t>(bodyText.size());
        } else if (bodyStream) {
            const auto here = bodyStream->tellg();
            bodyStream->seekg(0, std::ios::end);
            const auto end = bodyStream->tellg();
            bodyStream->seekg(here);
            if (here >= 0 && end >= 0) contentLength = static_cast<std::int32_t>(end);
        }
    }
    writeFields();
    std::string block;
    block.reserve(256);
    block.append(StatusLineStart).append(std::to_string(statusCode_)).append(" ").append(reasonPhrase_).append(LineEnd);
    for (const std::string& line : headerLines) block.append(line).append(LineEnd);
    block.append(LineEnd);
    connection_->write(block);
}

void HttpResponse::sendBody() {
    if (!headerWritten_) sendHeader();
    if (!bodyText.empty()) {
        connection_->write(bodyText);
    } else if (bodyStream) {
        bodyStream->clear();
        bodyStream->seekg(0);
        std::string chunk(ReceiveBlockSize, '\0');
        while (bodyStream->read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || bodyStream->gcount() > 0)
            connection_->write(std::string_view(chunk.data(), static_cast<std::size_t>(bodyStream->gcount())));
    }
    bodyText.clear();
    bodyStream.reset();
}
