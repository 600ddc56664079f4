#include "webserver/BoardPage.h"

#include <algorithm>

#include "text/DateTime.h"
#include "text/Text.h"
#include "webserver/ServerConstants.h"

namespace {

constexpr std::string_view PageTimePattern = "dd/mm hh:nn";
constexpr std::string_view AccessTimePattern = "dd/mmm/yyyy:hh:nn:ss";
constexpr std::string_view AccessLineTemplate = "%h \"%r\" %s %b";
constexpr std::string_view PageTimeToken = "%NOW";

// Every occurrence of token replaced by value, left to right, case-sensitively, the inserted text
// not searched again; the result is cut at MaxAccessLineBytes. Lines within the bound come out as
// a plain replace-all gives them. The cut matters because the request line and the headers are
// the client's: "%R" tokens in the request line bring in a Referer full of "%U" tokens, each of
// which brings in the User-Agent, so a 12 KB request could otherwise ask for gigabytes.
std::string ReplaceAllBounded(const std::string& line, std::string_view token, std::string_view value) {
    std::string out;
    std::size_t from = 0;
    while (out.size() < MaxAccessLineBytes) {
        const std::size_t at = line.find(token, from);
        if (at == std::string::npos) {
            out.append(line, from, std::string::npos);
            break;
        }
        out.append(line, from, at - from);
        out.append(value.substr(0, MaxAccessLineBytes - std::min(out.size(), MaxAccessLineBytes)));
        from = at + token.size();
    }
    if (out.size() > MaxAccessLineBytes) out.resize(MaxAccessLineBytes);
    return out;
}

}  // namespace

const std::string_view BoardPageHead[6] = {
    "<html><head><title>Where are they?</title>",
    "<style type=\"text/css\"><!--body, p, input, td, th, form, select {FONT-SIZE: 30px; font-family :  "
    "Verdana, Times New Roman, serif; color : #000000; }h1 { FONT-SIZE: 35px; font-family : Verdana, Geneva, "
    "Arial, Helvetica, sans-serif; font-weight: bold; color : #000099; }h2 { FONT-SIZE: 30px; font-family : "
    "Verdana, Geneva, Arial, Helvetica, sans-serif; font-weight: bold; color : #FFFFFF; }body { background: "
    "#EEEEFF;}a:visited {color: blue}--></style>",
    "<meta http-equiv=\"Page-Exit\" content=\"progid:DXImageTransform.Microsoft.RandomDissolve(Duration=2)\">",
    "<META HTTP-EQUIV=\"EXPIRES\" CONTENT=\"0\"><META HTTP-EQUIV=\"PRAGMA\" CONTENT=\"NO-CACHE\">",
    "<META HTTP-EQUIV=\"CACHE-CONTROL\" CONTENT=\"NO-CACHE\"><meta http-equiv=\"refresh\" content=\"30\">",
    "</head><body><h1>Where Is Everyone?</h1>",
};

void AddText(TIdHTTPResponseInfo& response, std::string_view text) {
    if (response.BodyText.empty()) {
        response.BodyText.assign(BoardPageHead[0]);
        for (int piece = 1; piece < 6; ++piece) AddText(response, BoardPageHead[piece]);
    }
    response.BodyText.append(text);
}

std::string BoardAccessLine(const TClock& clock, const TIdHTTPRequestInfo& request,
                            const TIdHTTPResponseInfo& response) {
    const std::int32_t length = response.ContentLength == -1 ? static_cast<std::int32_t>(response.BodyText.size())
                                                             : response.ContentLength;
    std::string line(AccessLineTemplate);
    line = ReplaceAllBounded(line, "%h", request.PeerAddress);
    line = ReplaceAllBounded(line, "%t", DateTimeToText(AccessTimePattern, clock.Now()));
    line = ReplaceAllBounded(line, "%r", request.RequestLine);
    line = ReplaceAllBounded(line, "%s", IntToText(response.StatusCode()));
    line = ReplaceAllBounded(line, "%R", request.Referer);
    line = ReplaceAllBounded(line, "%U", request.UserAgent);
    line = ReplaceAllBounded(line, "%b", IntToText(length));
    return line;
}

void ServeBoardPage(const std::string& fragment, const TClock& clock, TLogWriter& log,
                    const TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response) {
    const std::string pageTime = DateTimeToText(PageTimePattern, clock.Now());
    AddText(response, TextReplace(fragment, PageTimeToken, pageTime, ReplaceNone));
    log.Log(BoardAccessLine(clock, request, response), false);
    // Set last, so that a failure above leaves the plain type on the error response.
    response.ContentType = std::string(BoardContentType);
}
