#include "pages/ClassicPage.h"

#include <algorithm>

#include "pages/PagesConstants.h"
#include "pages/StatusCell.h"
#include "text/DateTime.h"
#include "text/HtmlEscape.h"
#include "text/Text.h"
#include "webserver/ServerConstants.h"

namespace quorvane {

namespace {

constexpr std::string_view AccessTimePattern = "dd/mmm/yyyy:hh:nn:ss";
constexpr std::string_view AccessLineTemplate = "%h \"%r\" %s %b";

// Every occurrence of token replaced by value, left to right, case-sensitively, the inserted text
// not searched again; the result is cut at MaxAccessLineBytes. lines within the bound come out as
// a plain replace-all gives them. The cut matters because the request line and the headers are
// the client's: "%R" tokens in the request line bring in a Referer full of "%U" tokens, each of
// which brings in the User-Agent, so a 12 KB request could otherwise ask for gigabytes.
std::string replaceAllBounded(const std::string& line, std::string_view token, std::string_view value) {
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

std::string classicFragment(const BoardSnapshot& snapshot, bool hideTitles) {
    std::string fragment(TableOpenLine);
    for (const PersonRow& person : snapshot.people) {
        const std::string status = statusHtml(person.status, hideTitles);
        // A roster name is text, not markup; an apostrophe is left as it is, so that names without
        // & < > " go out as they always have.
        fragment.append(FragmentLineBreak).append(RowOpen).append(htmlEscape(person.name, false));
        fragment.append(RowMiddle).append(status.empty() ? EmptyStatus : std::string_view(status)).append(RowClose);
    }
    // Before the first completed grab the footer shows day zero, as it always has.
    const DateTime dataTime = snapshot.dataTime ? localOfInstant(*snapshot.dataTime) : DateTime(0);
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen).append(dateTimeToText(FooterPattern, dataTime));
    fragment.append(FooterClose);
    fragment.append(FragmentLineBreak).append(PageCloseLine);
    return fragment;
}

void addText(HttpResponse& response, std::string_view text) {
    if (response.bodyText.empty()) {
        // Room for the whole page at once, instead of regrowing the body piece by piece.
        std::size_t size = text.size();
        for (const std::string_view piece : BoardPageHead) size += piece.size();
        response.bodyText.reserve(size);
        response.bodyText.assign(BoardPageHead[0]);
        for (int piece = 1; piece < 6; ++piece) addText(response, BoardPageHead[piece]);
    }
    response.bodyText.append(text);
}

std::string boardAccessLine(const Clock& clock, const HttpRequest& request,
                            const HttpResponse& response) {
    const std::int32_t length = response.contentLength == -1 ? static_cast<std::int32_t>(response.bodyText.size())
                                                             : response.contentLength;
    // Each value is made only when its token is in the line as it stands at that step (a value
    // put in by an earlier step can bring in a later token): the same line as replacing every
    // token in turn, without formatting a time or copying the line for tokens that are absent.
    std::string line(AccessLineTemplate);
    const auto replace = [&line](std::string_view token, const auto& value) {
        if (line.find(token) != std::string::npos) line = replaceAllBounded(line, token, value());
    };
    replace("%h", [&] { return request.peerAddress; });
    replace("%t", [&] { return dateTimeToText(AccessTimePattern, clock.now()); });
    replace("%r", [&] { return request.requestLine; });
    replace("%s", [&] { return intToText(response.statusCode()); });
    replace("%R", [&] { return request.referer; });
    replace("%U", [&] { return request.userAgent; });
    replace("%b", [&] { return intToText(length); });
    return line;
}

void serveBoardPage(const std::string& fragment, const Clock& clock, LogWriter& log,
                    const HttpRequest& request, HttpResponse& response) {
    const std::string pageTime = dateTimeToText(PageTimePattern, clock.now());
    addText(response, textReplace(fragment, PageTimeToken, pageTime, ReplaceNone));
    log.log(boardAccessLine(clock, request, response), false);
    // Set last, so that a failure above leaves the plain type on the error response.
    response.contentType = std::string(BoardContentType);
}

}  // namespace quorvane
