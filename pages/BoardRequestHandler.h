#pragma once
// What the web server's connection threads call for every request: the classic page for every
// path, or the wall page at "/" with its data at "/board.json" (any other path: 404), each
// leaving one access line in the activity log.
#include <string>

#include "log/LogWriter.h"
#include "pages/PublishedBoard.h"
#include "pages/WallPage.h"
#include "text/Clock.h"
#include "webserver/HttpRecords.h"

namespace quorvane {

// Which page the board serves, and how.
struct PageSettings {
    bool wall = false;        // the wall page instead of the classic one
    std::string title;        // the office's title on the wall page (empty: the default)
    bool hideTitles = false;  // meetings and notes by their kind only, on both pages
    WallLook wallLook{};      // the wall page's language, clock and theme
    bool selfStatus = false;  // people set their own status through their links (--self-status)
};

class BoardRequestHandler {
public:
    BoardRequestHandler(const PublishedBoard& board, const Clock& clock, LogWriter& log, const PageSettings& settings);
    void serve(const HttpRequest& request, HttpResponse& response) const;

private:
    void serveWall(const HttpRequest& request, HttpResponse& response) const;

    const PublishedBoard& board_;
    const Clock& clock_;
    LogWriter& log_;
    bool wall_;
    bool selfStatus_;
    std::string wallPage_;  // made once: the title does not change
};

}  // namespace quorvane
