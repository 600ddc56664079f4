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

// Client text as the access line carries it: a quote would end the quoted request line early and
// a backslash would make an escape of its own, so both are written as \xHH, the log's inert
// style for the bytes it cannot show raw.
void appendClientText(std::string& line, std::string_view text) {
    for (const char c : text) {
        if (c == '"') line += "\\x22";
        else if (c == '\\') line += "\\x5C";
        else line += c;
    }
}

// A calendar's own text may hold the page-time token; it is written as an HTML character
// reference there, so the browser shows it as typed and only the page's own token is replaced.
std::string withPageTimeTokenInert(std::string text) {
    const std::string_view token = PageTimeToken;
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + 1))
        text.replace(at, 1, InertPercent);
    return text;
}

}  // namespace

std::string classicFragment(const BoardSnapshot& snapshot, bool hideTitles) {
    std::string fragment(TableOpenLine);
    for (const PersonRow& person : snapshot.people) {
        const std::string status = withPageTimeTokenInert(statusHtml(person.status, hideTitles, snapshot.effectiveNow));
        // A roster name is text, not markup; an apostrophe is left as it is, so that names without
        // & < > " go out as they always have.
        fragment.append(FragmentLineBreak).append(RowOpen).append(withPageTimeTokenInert(htmlEscape(person.name, false)));
        fragment.append(RowMiddle).append(status.empty() ? EmptyStatus : std::string_view(status)).append(RowClose);
    }
    // Before the first data the footer shows no data time (day zero would read as a real date).
    fragment.append(FragmentLineBreak).append(TableCloseLine);
    fragment.append(FragmentLineBreak).append(FooterOpen);
    if (snapshot.dataTime) fragment.append(dateTimeToText(FooterPattern, localOfInstant(*snapshot.dataTime)));
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

std::string boardAccessLine(const Clock& /*clock*/, const HttpRequest& request,
                            const HttpResponse& response) {
    const std::int32_t length = response.contentLength == -1 ? static_cast<std::int32_t>(response.bodyText.size())
                                                             : response.contentLength;
    // The template is filled in one pass: the client's text goes in after every token has been
    // replaced, so a "%s" or "%b" a client writes is logged as written.
    std::string line = request.peerAddress;
    line += " \"";
    appendClientText(line, request.requestLine);
    line += "\" ";
    line += intToText(response.statusCode());
    line += ' ';
    line += intToText(length);
    if (line.size() > MaxAccessLineBytes) line.resize(MaxAccessLineBytes);
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
