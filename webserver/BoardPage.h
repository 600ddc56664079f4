#pragma once
// The board page handler: every GET, POST and HEAD gets the fixed page head followed by the
// board fragment with its page time filled in, and leaves one access line in the activity log.
#include <string>
#include <string_view>

#include "log/LogWriter.h"
#include "text/Clock.h"
#include "webserver/FragmentStore.h"
#include "webserver/HttpRecords.h"

// Appends text to the response body; an empty body first receives the page head.
void addText(HttpResponse& response, std::string_view text);

// The access line of a request answered by response ("%h \"%r\" %s %b" filled in), at most
// MaxAccessLineBytes long.
std::string boardAccessLine(const Clock& clock, const HttpRequest& request,
                            const HttpResponse& response);

// Builds the page from fragment (one consistent snapshot), logs the access line, and marks the
// page as UTF-8 HTML.
void serveBoardPage(const std::string& fragment, const Clock& clock, LogWriter& log,
                    const HttpRequest& request, HttpResponse& response);

// What the connection threads call for every request: the page from the current fragment.
class BoardPageHandler {
public:
    BoardPageHandler(const FragmentStore& fragment, const Clock& clock, LogWriter& log)
        : fragment_(fragment), clock_(clock), log_(log) {}
    void serve(const HttpRequest& request, HttpResponse& response) const {
        serveBoardPage(*fragment_.share(), clock_, log_, request, response);
    }

private:
    const FragmentStore& fragment_;
    const Clock& clock_;
    LogWriter& log_;
};
