#pragma once
// The board without its window and without its pages: the roster, the board state and the
// refresh cycle. Whoever runs the board (the program, a test) supplies the browser, the clock,
// the log, the operator's controls (RefreshHost) and where each new snapshot goes.
#include <optional>
#include <string>

#include "board/BoardConstants.h"
#include "board/BoardSnapshot.h"
#include "board/BoardState.h"
#include "board/Refresh.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "browser/BrowserDriver.h"
#include "calendarfetch/CalendarFetcher.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

struct BoardSettings {
    std::string calendarHost;
    std::string rosterFile = std::string(RosterFileName);
    int pageWaitSeconds = PageWaitTimeoutSeconds;  // each page wait's limit; shorter only in tests
    CalendarFetchSettings calendarFetch;           // people read from calendar addresses
    bool calendarHttps = false;                    // day views over https too
};

class BoardController {
public:
    // boardAddress: the board's own page, shown in the browser after each refresh; publish
    // receives every new snapshot.
    BoardController(const BoardSettings& settings, std::string boardAddress, BrowserControl& browser, LogWriter& log,
                    const Clock& clock, RefreshHost& host, PublishSnapshot publish);
    BoardController(const BoardController&) = delete;
    BoardController& operator=(const BoardController&) = delete;

    // Start-up once the calendar credentials are known: a grab is pending and the roster is read
    // (its errors propagate; the board then serves its heading alone).
    void start(const std::string& userId, const std::string& password);
    // A refresh now (the refresh button, the refresh timer).
    void requestRefresh() { refresh_.requestRefresh(); }
    // The hourly grab: the next refresh fetches every day view again.
    void requestGrab() { state_.grabPending = true; }
    bool refreshRunning() const { return refresh_.running(); }
    // Reads the roster file again (SIGHUP). A roster that reads is used from the next refresh
    // on, which fetches every day view again; one that does not is logged and the current one
    // kept. A refresh under way finishes with the roster it started with.
    void reloadRoster();
    // The program is stopping: the running refresh's page wait ends at once and it fetches no
    // more pages; no later refresh fetches any.
    void stopFetching() { refresh_.stop(); }

    Roster& roster() { return roster_; }
    BoardState& state() { return state_; }
    RefreshCycle& refresh() { return refresh_; }

private:
    BoardSettings settings_;
    LogWriter& log_;
    BoardState state_;
    Roster roster_;
    std::optional<Roster> reloaded_;  // waits for the next refresh to start
    BrowserDriver driver_;
    RefreshCycle refresh_;
};
