#pragma once
// The board without its window: the roster, the board state, the calendar sources, the refresh
// cycle, the fragment the web server reads, and the web server on its port. Whoever runs the
// board (the operator window, a test) supplies the browser, the clock, the log and the
// operator's controls (RefreshHost).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/BoardConstants.h"
#include "board/BoardOutput.h"
#include "board/BoardState.h"
#include "board/Refresh.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "board/SourceRegistry.h"
#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "browser/BrowserDriver.h"
#include "calendarfetch/CalendarFetcher.h"
#include "cloud/GoogleCalendarClient.h"
#include "cloud/GraphCalendarClient.h"
#include "log/LogWriter.h"
#include "text/Clock.h"
#include "webserver/BoardPage.h"
#include "webserver/FragmentStore.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerConstants.h"

struct BoardSettings {
    std::string calendarHost;
    std::string rosterFile = std::string(RosterFileName);
    std::uint16_t port = BoardPort;                // 0: any free port (tests)
    std::vector<std::string> bindAddresses;        // IPv4/IPv6 literals; empty: every address
    int pageWaitSeconds = PageWaitTimeoutSeconds;  // each page wait's limit; shorter only in tests
    CalendarFetchSettings calendarFetch;           // people read from calendar addresses
    std::optional<GraphSettings> m365;             // m365: people; none when no identity was given
    std::optional<GoogleSettings> google;          // google: people; none when no identity was given
    WallPageSettings wall;                         // the wall page instead of the classic one
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
    bool calendarHttps = false;                    // day views over https too
};

class BoardController final : private BoardOutput {
public:
    // The web server listens when this returns; CouldNotBindError when it cannot.
    BoardController(BoardSettings settings, BrowserControl& browser, LogWriter& log, const Clock& clock,
                    RefreshHost& host);
    // Stops the web server first: its threads read the fragment and write the log.
    ~BoardController() override;
    BoardController(const BoardController&) = delete;
    BoardController& operator=(const BoardController&) = delete;

    // Start-up once the calendar credentials are known: a grab is pending and the roster is read
    // (its errors propagate; the board then serves its heading alone).
    void start(const std::string& userId, const std::string& password);
    // A refresh now (the refresh button, the refresh timer); it runs on from the event loop.
    void requestRefresh() { refresh_.requestRefresh(); }
    // The hourly grab: the next refresh fetches every day view again.
    void requestGrab() { state_.grabPending = true; }
    // The operator's own edit of the fragment: served as it stands until the next refresh.
    void editFragment(std::string text) { fragment_.replace(std::move(text)); }
    bool refreshRunning() const { return refresh_.running(); }
    // Reads the roster file again (SIGHUP). A roster that reads is used from the next refresh
    // on, which fetches every day view again; one that does not is logged and the current one
    // kept. A refresh under way finishes with the roster it started with.
    void reloadRoster();
    // The program is stopping: the running refresh's waits end at once and it fetches nothing
    // more; no later refresh fetches anything.
    void stopFetching() { refresh_.stop(); }
    // Called each time a refresh has ended.
    std::function<void()> onRefreshEnded;

    // The port the board listens on, and the address of its page on this machine.
    std::uint16_t port() const { return port_; }
    std::string pageAddress() const;

    Roster& roster() { return roster_; }
    BoardState& state() { return state_; }
    FragmentStore& fragment() { return fragment_; }
    SnapshotStore& snapshots() { return snapshots_; }
    RefreshCycle& refresh() { return refresh_; }
    SourceRegistry& sources() { return sources_; }
    // The board last published; empty before the first refresh.
    SharedSnapshot board() const { return board_; }
    HttpServer& server() { return server_; }

private:
    void publish(const SharedSnapshot& board) override;
    void refreshEnded(const SharedSnapshot& board) override;

    BoardSettings settings_;
    LogWriter& log_;
    BoardState state_;
    Roster roster_;
    FragmentStore fragment_;
    SnapshotStore snapshots_;
    BoardPageHandler pageHandler_;
    HttpServer server_;
    std::uint16_t port_ = 0;
    std::optional<Roster> reloaded_;  // waits for the next refresh to start
    RefreshHost& host_;
    BrowserDriver driver_;
    SourceRegistry sources_;
    RefreshCycle refresh_;
    SharedSnapshot board_;
    std::string fragmentText_;  // the classic fragment of board_
};
