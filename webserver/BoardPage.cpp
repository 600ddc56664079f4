#include "webserver/BoardPage.h"

#include "text/DateTime.h"
#include "text/Text.h"
#include "webserver/ServerConstants.h"

namespace {

constexpr std::string_view PageTimePattern = "dd/mm hh:nn";
constexpr std::string_view AccessTimePattern = "dd/mmm/yyyy:hh:nn:ss";
constexpr std::string_view AccessLineTemplate = "%h \"%r\" %s %b";
constexpr std::string_view PageTimeToken = "%NOW";

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
    line = TextReplace(line, "%h", request.PeerAddress, ReplaceAll);
    line = TextReplace(line, "%t", DateTimeToText(AccessTimePattern, clock.Now()), ReplaceAll);
    line = TextReplace(line, "%r", request.RequestLine, ReplaceAll);
    line = TextReplace(line, "%s", IntToText(response.StatusCode()), ReplaceAll);
    line = TextReplace(line, "%R", request.Referer, ReplaceAll);
    line = TextReplace(line, "%U", request.UserAgent, ReplaceAll);
    line = TextReplace(line, "%b", IntToText(length), ReplaceAll);
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
