#include "webserver/HttpRecords.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "text/Text.h"
#include "webserver/HttpDecode.h"
#include "webserver/IOHandler.h"
#include "webserver/ServerConstants.h"
#include "webserver/ServerErrors.h"

namespace {

// The name part of a header line: the text before its first ":", untrimmed; npos when none.
std::size_t NameEnd(const std::string& line) { return line.find(':'); }

bool IsContinuation(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// A 32-bit signed decimal, or -1 when the text is not one.
std::int32_t ParseInt32(const std::string& text) {
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

std::string ReasonPhraseOf(std::int32_t code) {
    for (const auto& [number, phrase] : ReasonPhrases)
        if (number == code) return phrase;
    return std::string(MsgUnknownResponseCode);
}

std::string HttpDateText(TDateTime value) {
    static constexpr const char* Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const TDateTimeParts p = DecodeDateTime(value);
    // Day 0 (30 December 1899) was a Saturday.
    long long day = static_cast<long long>(EncodeDate(p.Year, p.Month, p.Day));
    const int weekday = static_cast<int>(((day + 6) % 7 + 7) % 7);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", Days[weekday], p.Day,
                  Months[p.Month - 1], p.Year, p.Hour, p.Minute, p.Second);
    return text;
}

// ---- entity -------------------------------------------------------------------------------

std::string TIdEntityHeaderInfo::HeaderValue(std::string_view name) const {
    for (std::size_t i = 0; i < HeaderLines.size(); ++i) {
        const std::string& line = HeaderLines[i];
        const std::size_t colon = NameEnd(line);
        if (colon == std::string::npos || !SameTextAscii(std::string_view(line).substr(0, colon), name)) continue;
        std::string value(TrimBlanks(std::string_view(line).substr(colon + 1)));
        for (std::size_t j = i + 1; j < HeaderLines.size() && IsContinuation(HeaderLines[j]); ++j) {
            value += ' ';
            value += TrimBlanks(HeaderLines[j]);
        }
        return value;
    }
    return {};
}

bool TIdEntityHeaderInfo::HasHeader(std::string_view name) const {
    for (const std::string& line : HeaderLines) {
        const std::size_t colon = NameEnd(line);
        if (colon != std::string::npos && SameTextAscii(std::string_view(line).substr(0, colon), name)) return true;
    }
    return false;
}

void TIdEntityHeaderInfo::SetHeaderLine(const std::string& name, const std::string& value) {
    std::string line = name + ": " + value;
    for (std::string& existing : HeaderLines) {
        const std::size_t colon = NameEnd(existing);
        if (colon != std::string::npos && SameTextAscii(std::string_view(existing).substr(0, colon), name)) {
            existing = std::move(line);
            return;
        }
    }
    HeaderLines.push_back(std::move(line));
}

void TIdEntityHeaderInfo::ReadFields() {
    ContentVersion = HeaderValue("Content-Version");
    ContentEncoding = HeaderValue("Content-Encoding");
    ContentLanguage = HeaderValue("Content-Language");
    ContentType = HeaderValue("Content-Type");
    ContentLength = ParseInt32(HeaderValue("Content-Length"));
    Pragma = HeaderValue("Pragma");
}

void TIdEntityHeaderInfo::WriteFields() {
    if (!ContentVersion.empty()) SetHeaderLine("Content-Version", ContentVersion);
    if (!ContentEncoding.empty()) SetHeaderLine("Content-Encoding", ContentEncoding);
    if (!ContentLanguage.empty()) SetHeaderLine("Content-Language", ContentLanguage);
    if (!ContentType.empty()) SetHeaderLine("Content-Type", ContentType);
    if (ContentLength >= 0) SetHeaderLine("Content-Length", std::to_string(ContentLength));
}

void TIdEntityHeaderInfo::ResetFields() {
    ContentVersion.clear();
    ContentEncoding.clear();
    ContentLanguage.clear();
    ContentType.clear();
    Pragma.clear();
    ContentLength = -1;
}

// ---- request ------------------------------------------------------------------------------

void TIdRequestHeaderInfo::ReadFields() {
    TIdEntityHeaderInfo::ReadFields();
    Accept = HeaderValue("Accept");
    AcceptCharSet = HeaderValue("Accept-Charset");
    AcceptEncoding = HeaderValue("Accept-Encoding");
    AcceptLanguage = HeaderValue("Accept-Language");
    Host = HeaderValue("Host");
    From = HeaderValue("From");
    Referer = HeaderValue("Referer");
    UserAgent = HeaderValue("User-Agent");
    Connection = HeaderValue("Connection");
    Date = HeaderValue("Date");
    LastModified = HeaderValue("Last-Modified");
    Expires = HeaderValue("Expires");
    Range = HeaderValue("Range");
}

void TIdRequestHeaderInfo::WriteFields() {
    const std::pair<const char*, const std::string*> fields[] = {
        {"Accept", &Accept}, {"Accept-Charset", &AcceptCharSet}, {"Accept-Encoding", &AcceptEncoding},
        {"Accept-Language", &AcceptLanguage}, {"Host", &Host}, {"From", &From}, {"Referer", &Referer},
        {"User-Agent", &UserAgent}, {"Connection", &Connection}, {"Range", &Range}};
    for (const auto& [name, value] : fields)
        if (!value->empty()) SetHeaderLine(name, *value);
    TIdEntityHeaderInfo::WriteFields();
}

void TIdRequestHeaderInfo::ResetFields() {
    TIdEntityHeaderInfo::ResetFields();
    for (std::string* field : {&Accept, &AcceptCharSet, &AcceptEncoding, &AcceptLanguage, &Host, &From, &Referer,
                               &UserAgent, &Connection, &Date, &LastModified, &Expires, &Range})
        field->clear();
}

void TIdHTTPRequestInfo::DecodeParams(std::string_view text) {
    ParamList.clear();
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        const std::string_view piece = text.substr(0, amp);
        if (!piece.empty()) ParamList.push_back(DecodeURLText(piece, true));
        if (amp == std::string_view::npos) break;
        text.remove_prefix(amp + 1);
    }
}

// ---- response -----------------------------------------------------------------------------

void TIdResponseHeaderInfo::ResetFields() {
    TIdEntityHeaderInfo::ResetFields();
    Location.clear();
    CacheControl.clear();
    Server = std::string(BuiltInServerSoftware);
    Date = Expires = LastModified = 0;
}

TIdHTTPResponseInfo::TIdHTTPResponseInfo(TIdIOHandler* connection) : connection_(connection) {
    ResetFields();
}

void TIdHTTPResponseInfo::ResetFields() {
    TIdResponseHeaderInfo::ResetFields();
    ContentType = std::string(DefaultContentType);
    Connection = "close";
    CloseAfterResponse = true;
    BodyText.clear();
    BodyStream.reset();
    CustomHeaders.clear();
    SetStatusCode(200);
}

void TIdHTTPResponseInfo::SetStatusCode(std::int32_t code) {
    statusCode_ = code;
    reasonPhrase_ = ReasonPhraseOf(code);
    if (code == 404) CloseAfterResponse = true;
}

void TIdHTTPResponseInfo::WriteFields() {
    HeaderLines.clear();
    if (!Connection.empty()) SetHeaderLine("Connection", Connection);
    if (!ContentVersion.empty()) SetHeaderLine("Content-Version", ContentVersion);
    if (!ContentEncoding.empty()) SetHeaderLine("Content-Encoding", ContentEncoding);
    if (!ContentLanguage.empty()) SetHeaderLine("Content-Language", ContentLanguage);
    if (!ContentType.empty()) SetHeaderLine("Content-Type", ContentType);
    if (ContentLength >= 0) SetHeaderLine("Content-Length", std::to_string(ContentLength));
    if (!CacheControl.empty()) SetHeaderLine("Cache-control", CacheControl);
    if (Date > 0) SetHeaderLine("Date", HttpDateText(Date));
    if (Expires > 0) SetHeaderLine("Expires", HttpDateText(Expires));
    if (!Pragma.empty()) SetHeaderLine("Pragma", Pragma);
    for (const std::string& extra : CustomHeaders) {
        const std::size_t colon = extra.find(':');
        if (colon == std::string::npos) continue;
        SetHeaderLine(extra.substr(0, colon), std::string(TrimBlanks(std::string_view(extra).substr(colon + 1))));
    }
    if (!Server.empty()) SetHeaderLine("Server", Server);
    if (!Location.empty()) SetHeaderLine("Location", Location);
    if (LastModified > 0) SetHeaderLine("Last-Modified", HttpDateText(LastModified));
}

void TIdHTTPResponseInfo::SendHeader() {
    if (headerWritten_) throw EIdHTTPHeaderAlreadyWritten(std::string(MsgHeaderWritten));
    headerWritten_ = true;
    if (ContentLength == -1) {
        if (!BodyText.empty()) {
            ContentLength = static_cast<std::int32_t>(BodyText.size());
        } else if (BodyStream) {
            const auto here = BodyStream->tellg();
            BodyStream->seekg(0, std::ios::end);
            const auto end = BodyStream->tellg();
            BodyStream->seekg(here);
            if (here >= 0 && end >= 0) ContentLength = static_cast<std::int32_t>(end);
        }
    }
    WriteFields();
    std::string block;
    block.reserve(256);
    block.append(StatusLineStart).append(std::to_string(statusCode_)).append(" ").append(reasonPhrase_).append(LineEnd);
    for (const std::string& line : HeaderLines) block.append(line).append(LineEnd);
    block.append(LineEnd);
    connection_->Write(block);
}

void TIdHTTPResponseInfo::SendBody() {
    if (!headerWritten_) SendHeader();
    if (!BodyText.empty()) {
        connection_->Write(BodyText);
    } else if (BodyStream) {
        BodyStream->clear();
        BodyStream->seekg(0);
        std::string chunk(ReceiveBlockSize, '\0');
        while (BodyStream->read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || BodyStream->gcount() > 0)
            connection_->Write(std::string_view(chunk.data(), static_cast<std::size_t>(BodyStream->gcount())));
    }
    BodyText.clear();
    BodyStream.reset();
}
