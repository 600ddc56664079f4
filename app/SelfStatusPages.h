#pragma once
// People's own statuses on the board (--self-status): each person's page at /me/TOKEN, where a
// GET shows the form and a POST sets or clears their status (303 back to the page, or 400, 413,
// 429 with the reason on the page; any text that is no link: the 404 of any unknown path), and
// the statuses laid over each published snapshot as notes of kind Self.
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "board/BoardSnapshot.h"
#include "log/LogWriter.h"
#include "service/SelfStatusStore.h"
#include "text/Clock.h"
#include "webserver/HttpRecords.h"

namespace quorvane {

// The snapshot with everyone's running status as a Self note in their row, after the calendar's
// own; a status replaces what the calendar says of where they work (its Working notes).
SharedSnapshot withOwnStatuses(const SharedSnapshot& base, const std::map<std::string, OwnStatus>& statuses);

// "Status of NAME: TEXT until dd/mm hh:nn, from WHO" or "Status of NAME cleared, from WHO" (the
// log makes a name's or a text's control bytes inert, as it does every line's).
std::string ownStatusLogLine(const std::string& name, const std::optional<OwnStatus>& status, const std::string& who);

class SelfStatusPages {
public:
    SelfStatusPages(SelfStatusStore& store, const Clock& clock, LogWriter& log);

    // Whether the request is for a /me/ path; it is answered (and its access line logged) then.
    bool serve(const HttpRequest& request, HttpResponse& response);
    // Whether the server is to keep this request's body for serve.
    static bool wantsBody(const HttpRequest& request);
    // Told after each change, on the thread that made it.
    std::function<void()> onChanged;

    // A change made by whoever (the operator's window, a page's post): stored, logged, told.
    // False, logged, when it could not be stored.
    bool change(const std::string& name, std::optional<OwnStatus> status, const std::string& who);

private:
    void answerPage(HttpResponse& response, int code, const std::string& name, const std::string& error);
    void post(const HttpRequest& request, HttpResponse& response, const std::string& token, const std::string& name);

    SelfStatusStore& store_;
    const Clock& clock_;
    LogWriter& log_;
};

}  // namespace quorvane
