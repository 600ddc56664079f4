#include "board/BoardController.h"

#include <exception>

#include "board/AddressSource.h"
#include "board/BoardConstants.h"
#include "board/BoardFragment.h"
#include "board/CloudSource.h"
#include "board/DayViewSource.h"
#include "board/StatusCell.h"
#include "text/Text.h"

namespace {

bool isIpv6(const std::string& address) { return address.find(':') != std::string::npos; }

// The server, listening on port of each address (every IPv4 and IPv6 address when none).
std::uint16_t listen(HttpServer& server, BoardPageHandler& handler, std::uint16_t port,
                     const std::vector<std::string>& addresses, int maxClientConnections) {
    server.setDefaultPort(port);
    server.setMaxClientConnections(maxClientConnections);
    for (const std::string& address : addresses)
        server.bindings().push_back({address, port, isIpv6(address) ? IpVersion::IPv6 : IpVersion::IPv4, InvalidSocket});
    // Served connections leave the port in TIME_WAIT for a minute; without address reuse a
    // restarted board could not listen again until then. A live listener still excludes another.
    server.setReuseSocket(ReuseSocket::On);
    server.setHandler([&handler](const HttpRequest& request, HttpResponse& response) {
        handler.serve(request, response);
    });
    server.setActive(true);
    return port != 0 ? port : server.boundPort(0);
}

}  // namespace

BoardController::BoardController(BoardSettings settings, BrowserControl& browser, LogWriter& log,
                                 const Clock& clock, RefreshHost& host)
    : settings_(std::move(settings)),
      log_(log),
      pageHandler_(fragment_, snapshots_, clock, log, settings_.wall),
      port_(listen(server_, pageHandler_, settings_.port, settings_.bindAddresses, settings_.maxClientConnections)),
      host_(host),
      driver_(browser, log, clock),
      refresh_(roster_, state_, RefreshLinks{sources_, *this, host, log, clock}) {
    driver_.setTimeoutSeconds(settings_.pageWaitSeconds);
    // The cloud services and calendar addresses first: the web calendar reads every other item id.
    sources_.add(makeM365Source(settings_.m365, log, clock));
    sources_.add(makeGoogleSource(settings_.google, log, clock));
    sources_.add(std::make_unique<AddressSource>(settings_.calendarFetch, log, clock));
    sources_.add(std::make_unique<DayViewSource>(DayViewSettings{settings_.calendarHost, settings_.calendarHttps},
                                                 driver_, state_, log, clock));
    refresh_.beforeRun = [this] {
        if (!reloaded_) return;
        roster_ = std::move(*reloaded_);
        reloaded_.reset();
        state_.grabPending = true;  // the new roster has no calendars fetched yet
    };
}

void BoardController::publish(const SharedSnapshot& board) {
    board_ = board;
    fragmentText_ = buildBoardFragment(*board, settings_.wall.hideTitles);
    fragment_.replace(fragmentText_);
    BoardSnapshotData data;
    if (board->dataTime) data.dataTimeUnix = unixSeconds(*board->dataTime);
    data.lastGrabOk = board->lastGrabOk;
    if (board->lastGrabTime) data.lastGrabTimeUnix = unixSeconds(*board->lastGrabTime);
    for (const PersonRow& row : board->people) {
        PersonView view;
        view.name = row.name;
        view.state = static_cast<ViewState>(row.status.state);
        for (const MeetingStatus& meeting : row.status.meetings)
            view.meetings.push_back(
                {meeting.description.plain, unixSeconds(meeting.end), meeting.showsUntil, meeting.tentative});
        for (const NoteStatus& note : row.status.notes)
            view.notes.push_back({note.text.plain, static_cast<ViewNoteKind>(note.kind)});
        view.statusHtml = classicStatusHtml(row.status);
        data.people.push_back(std::move(view));
    }
    snapshots_.replace(std::move(data));
}

void BoardController::refreshEnded(const SharedSnapshot&) {
    // Shown to the operator, and in the window's browser.
    host_.showFragment(fragmentText_);
    if (!driver_.stopped()) driver_.navigate(pageAddress());
    if (onRefreshEnded) onRefreshEnded();
}

BoardController::~BoardController() { server_.setActive(false); }

void BoardController::start(const std::string& userId, const std::string& password) {
    state_.userId = userId;
    state_.password = password;
    state_.grabPending = true;
    loadRoster(roster_, settings_.rosterFile, &log_);
}

void BoardController::reloadRoster() {
    Roster fresh;
    try {
        loadRoster(fresh, settings_.rosterFile, &log_);
    } catch (const std::exception& error) {
        log_.log(std::string(RosterKeptText) + settings_.rosterFile + ": " + error.what(), false);
        return;
    }
    log_.log(std::string(RosterReloadedText) + settings_.rosterFile + " (" + intToText(static_cast<int>(fresh.size())) + ")",
             false);
    reloaded_ = std::move(fresh);
}

std::string BoardController::pageAddress() const {
    // The loopback address when the board listens there (or everywhere), else the first address.
    std::string host(BoardPageLoopbackHost);
    const auto& addresses = settings_.bindAddresses;
    auto has = [&](const char* address) {
        for (const std::string& a : addresses)
            if (a == address) return true;
        return false;
    };
    if (!addresses.empty() && !has("0.0.0.0") && !has("127.0.0.1")) {
        if (has("::") || has("::1"))
            host = "[::1]";
        else
            host = isIpv6(addresses.front()) ? "[" + addresses.front() + "]" : addresses.front();
    }
    return std::string(BoardPageScheme) + host + ":" + intToText(port_) + std::string(BoardPageAddressTail);
}
