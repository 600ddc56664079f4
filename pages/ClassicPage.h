#pragma once
// The classic page: the fixed page head followed by the board fragment (one table row per person
// and the footer) with its page time filled in, and the access line each answer leaves in the log.
#include <string>
#include <string_view>

#include "board/BoardSnapshot.h"
#include "log/LogWriter.h"
#include "text/Clock.h"
#include "webserver/HttpRecords.h"

namespace quorvane {

// The fragment of a snapshot: n + 4 lines joined by CR LF, an empty status shown as "&nbsp;",
// the footer's data time from the snapshot (none before the first data); "%NOW" is left for
// serveBoardPage, and a "%NOW" in calendar text is written "&#37;NOW" so that it stays as typed.
std::string classicFragment(const BoardSnapshot& snapshot, bool hideTitles);

// Appends text to the response body; an empty body first receives the page head.
void addText(HttpResponse& response, std::string_view text);

// The access line of a request answered by response: peer, quoted request line (its quotes and
// backslashes as \xHH), status, length; at most MaxAccessLineBytes long.
std::string boardAccessLine(const Clock& clock, const HttpRequest& request, const HttpResponse& response);

// Builds the page from fragment (one consistent snapshot), logs the access line, and marks the
// page as UTF-8 HTML.
void serveBoardPage(const std::string& fragment, const Clock& clock, LogWriter& log, const HttpRequest& request,
                    HttpResponse& response);

}  // namespace quorvane
