#pragma once
// The board page handler: every GET, POST and HEAD gets the fixed page head followed by the
// board fragment with its page time filled in, and leaves one access line in the activity log.
#include <string>
#include <string_view>

#include "log/LogWriter.h"
#include "text/Clock.h"
#include "webserver/FragmentStore.h"
#include "webserver/HttpRecords.h"
#include "web/SnapshotStore.h"

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

// Which page the board serves: the classic page for every path, or the wall page at "/" with its
// data at "/board.json" (any other path: 404).
struct WallPageSettings {
    bool enabled = false;
    std::string title;        // the office's title on the wall page (empty: the default)
    bool hideTitles = false;  // board.json names meetings and notes by their kind only
};

// What the connection threads call for every request.
class BoardPageHandler {
public:
    BoardPageHandler(const FragmentStore& fragment, const SnapshotStore& snapshots, const Clock& clock,
                     LogWriter& log, WallPageSettings wall = {});
    void serve(const HttpRequest& request, HttpResponse& response) const;

private:
    void serveWall(const HttpRequest& request, HttpResponse& response) const;

    const FragmentStore& fragment_;
    const SnapshotStore& snapshots_;
    const Clock& clock_;
    LogWriter& log_;
    WallPageSettings wall_;
    std::string wallPage_;  // made once: the title does not change
};
