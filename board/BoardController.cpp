#include "board/BoardController.h"

#include "board/BoardConstants.h"
#include "text/Text.h"

namespace {

// The server, listening on port (every IPv4 and IPv6 address).
std::uint16_t listen(HttpServer& server, BoardPageHandler& handler, std::uint16_t port, int maxClientConnections) {
    server.setDefaultPort(port);
    server.setMaxClientConnections(maxClientConnections);
    // Served connections leave the port in TIME_WAIT for a minute; without address reuse a
    // restarted board could not listen again until then. A live listener still excludes another.
    server.setReuseSocket(ReuseSocket::On);
    server.onCommandGet = [&handler](ClientConnection&, HttpRequest& request, HttpResponse& response) {
        handler.serve(request, response);
    };
    server.setActive(true);
    return port != 0 ? port : server.boundPort(0);
}

}  // namespace

BoardController::BoardController(BoardSettings settings, BrowserControl& browser, LogWriter& log,
                                 const Clock& clock, RefreshHost& host)
    : settings_(std::move(settings)),
      log_(log),
      pageHandler_(fragment_, clock, log),
      port_(listen(server_, pageHandler_, settings_.port, settings_.maxClientConnections)),
      driver_(browser, log, clock, state_.pageLoaded),
      refresh_(roster_, state_, driver_, log, clock, host, fragment_, settings_.calendarHost, pageAddress()) {
    driver_.setTimeoutSeconds(settings_.pageWaitSeconds);
    refresh_.setDayViewsOverHttps(settings_.calendarHttps);
}

BoardController::~BoardController() { server_.setActive(false); }

void BoardController::start(const std::string& userId, const std::string& password) {
    state_.userId = userId;
    state_.password = password;
    state_.pageLoaded = false;
    state_.grabPending = true;
    loadRoster(roster_, settings_.rosterFile, &log_);
}

std::string BoardController::pageAddress() const {
    return std::string(BoardPageAddressHead) + intToText(port_) + std::string(BoardPageAddressTail);
}
