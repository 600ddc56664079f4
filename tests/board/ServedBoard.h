#pragma once
// The board served as the program wires it: the site (published board, pages, web server on a
// free port) and the controller publishing to it, the fragment of each publish shown to the host.
#include <string>

#include "app/BoardSite.h"
#include "board/BoardController.h"
#include "tests/board/QuietHost.h"

namespace quorvane {

struct ServedBoard {
    ServedBoard(const BoardSettings& board, const ServerSettings& server, const PageSettings& pages,
                BrowserControl& browser, LogWriter& log, const Clock& clock, QuietHost& host)
        : site(server, pages, clock, log),
          controller(board, site.pageAddress(), browser, log, clock, host, [this, &host](SharedSnapshot snapshot) {
              site.publish(std::move(snapshot));
              host.shown = site.board().fragment();
          })
    {
    }
    std::uint16_t port() const { return site.port(); }
    std::string fragment() { return site.board().fragment(); }

    BoardSite site;
    BoardController controller;
};

}  // namespace quorvane
