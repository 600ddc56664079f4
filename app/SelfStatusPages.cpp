#include "app/SelfStatusPages.h"

#include <algorithm>
#include <exception>

#include "app/AppConstants.h"
#include "pages/ClassicPage.h"
#include "pages/PagesConstants.h"
#include "pages/SelfStatusPage.h"
#include "text/HtmlEscape.h"

namespace quorvane {

namespace {

bool isTokenText(std::string_view text) {
    return text.size() == StatusTokenLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                      c == '_';
           });
}

// The access line without the link's token: whoever reads the log must not get every link.
std::string accessLine(const Clock& clock, const HttpRequest& request, const HttpResponse& response) {
    HttpRequest shown;
    shown.peerAddress = request.peerAddress;
    const std::size_t start = request.requestLine.find(SelfPathPrefix);
    const std::size_t end = start == std::string::npos ? start : request.requestLine.find(' ', start);
    shown.requestLine = start == std::string::npos
                            ? request.requestLine
                            : request.requestLine.substr(0, start) + std::string(HiddenTokenText) +
                                  (end == std::string::npos ? std::string() : request.requestLine.substr(end));
    return boardAccessLine(clock, shown, response);
}

}  // namespace

SharedSnapshot withOwnStatuses(const SharedSnapshot& base, const std::map<std::string, OwnStatus>& statuses) {
    if (statuses.empty()) return base;
    auto snapshot = std::make_shared<BoardSnapshot>(*base);
    for (PersonRow& row : snapshot->people) {
        const auto it = statuses.find(row.name);
        if (it == statuses.end()) continue;
        std::erase_if(row.status.notes, [](const NoteStatus& note) { return note.kind == NoteKind::Working; });
        NoteStatus note{{htmlEscape(it->second.text), it->second.text}, NoteKind::Self};
        note.end = it->second.until;
        row.status.notes.push_back(std::move(note));
    }
    return snapshot;
}

std::string ownStatusLogLine(const std::string& name, const std::optional<OwnStatus>& status, const std::string& who) {
    std::string line = std::string(SelfLogHead) + name;
    if (status)
        line += ": " + ownStatusText(status->text, status->until);
    else
        line += SelfLogClearedTail;
    return line + std::string(SelfLogFrom) + who;
}

SelfStatusPages::SelfStatusPages(SelfStatusStore& store, const Clock& clock, LogWriter& log)
    : store_(store), clock_(clock), log_(log) {}

bool SelfStatusPages::wantsBody(const HttpRequest& request) {
    return request.method == "POST" && request.path.rfind(SelfPathPrefix, 0) == 0;
}

bool SelfStatusPages::serve(const HttpRequest& request, HttpResponse& response) {
    if (request.path.rfind(SelfPathPrefix, 0) != 0) return false;
    const std::string token = request.path.substr(SelfPathPrefix.size());
    const std::optional<std::string> name = isTokenText(token) ? store_.nameOfToken(token) : std::nullopt;
    if (!name) {
        // The answer of any unknown path: nothing tells a wrong link from no link.
        response.setStatusCode(404);
        response.bodyText = std::string(NotFoundText);
        response.contentType = std::string(PlainContentType);
    } else if (request.method == "POST") {
        post(request, response, token, *name);
    } else {
        answerPage(response, 200, *name, {});
    }
    log_.log(accessLine(clock_, request, response), false);
    return true;
}

void SelfStatusPages::post(const HttpRequest& request, HttpResponse& response, const std::string& token,
                           const std::string& name) {
    const Instant now = instantOfLocal(clock_.now());
    if (request.bodyTooLarge) return answerPage(response, 413, name, std::string(SelfErrorTooLarge));
    if (!store_.admitChange(token, now, SelfChangesPerMinute))
        return answerPage(response, 429, name, std::string(SelfErrorTooMany));
    const StatusForm form = readStatusForm(request.body, now);
    if (!form.error.empty()) return answerPage(response, 400, name, form.error);
    std::optional<OwnStatus> status;
    if (!form.clear) status = OwnStatus{form.text, form.until};
    if (!change(name, std::move(status), request.peerAddress))
        return answerPage(response, 500, name, std::string(SelfNotSavedText));
    response.setStatusCode(303);
    response.location = request.path;
    response.cacheControl = std::string(NoStore);
}

bool SelfStatusPages::change(const std::string& name, std::optional<OwnStatus> status, const std::string& who) {
    try {
        store_.set(name, status);
    } catch (const std::exception& error) {
        log_.log(std::string(SelfNotSavedHead) + error.what(), false);
        return false;
    }
    log_.log(ownStatusLogLine(name, status, who), false);
    if (onChanged) onChanged();
    return true;
}

void SelfStatusPages::answerPage(HttpResponse& response, int code, const std::string& name, const std::string& error) {
    const Instant now = instantOfLocal(clock_.now());
    const std::optional<OwnStatus> status = store_.statusOf(name, now);
    response.setStatusCode(code);
    response.bodyText = selfStatusPageHtml(name, status ? ownStatusText(status->text, status->until) : std::string(),
                                           error, now);
    response.contentType = std::string(BoardContentType);
    response.cacheControl = std::string(NoStore);
}

}  // namespace quorvane
