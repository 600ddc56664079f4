#pragma once
// The board without its window and without its pages: the roster, the board state, the calendar
// sources and the refresh cycle. Whoever runs the board (the program, a test) supplies the
// browser, the clock, the log, the operator's controls (RefreshHost) and where each new snapshot
// goes.
#include <QJsonObject>

#include <functional>
#include <optional>
#include <string>

#include "board/AbsenceWords.h"
#include "board/BoardConstants.h"
#include "board/BoardOutput.h"
#include "board/BoardSnapshot.h"
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

namespace quorvane {

struct BoardSettings {
    std::string calendarHost;
    std::string rosterFile = std::string(RosterFileName);
    int pageWaitSeconds = PageWaitTimeoutSeconds;  // each page wait's limit; shorter only in tests
    CalendarFetchSettings calendarFetch;           // people read from calendar addresses
    std::optional<GraphSettings> m365;             // m365: people; none when no identity was given
    std::optional<GoogleSettings> google;          // google: people; none when no identity was given
    bool calendarHttps = false;                    // day views over https too
    // What marks a person's own all-day entry as leave or working from home (calendar addresses
    // and the cloud services): the compiled-in words, and any --absence-words added.
    std::shared_ptr<const AbsenceWords> absenceWords = AbsenceWords::builtIn();
};

class BoardController final : private BoardOutput {
public:
    // boardAddress: the board's own page, shown in the browser after each refresh; publish
    // receives every new snapshot (each row as it is composed, and each refresh's end).
    BoardController(const BoardSettings& settings, std::string boardAddress, BrowserControl& browser, LogWriter& log,
                    const Clock& clock, RefreshHost& host, PublishSnapshot publish);
    BoardController(const BoardController&) = delete;
    BoardController& operator=(const BoardController&) = delete;

    // Start-up once the calendar credentials are known: a grab is pending and the roster is read
    // (its errors propagate; the board then serves its heading alone).
    void start(const std::string& userId, const std::string& password);
    // A refresh now (the refresh button, the refresh timer); it runs on from the event loop.
    void requestRefresh() { refresh_.requestRefresh(); }
    // The hourly grab: the next refresh fetches every calendar again.
    void requestGrab() { state_.grabPending = true; }
    bool refreshRunning() const { return refresh_.running(); }
    // Reads the roster file again (SIGHUP). A roster that reads is used from the next refresh
    // on, which fetches every calendar again; one that does not is logged and the current one
    // kept. A refresh under way finishes with the roster it started with.
    void reloadRoster();
    // The program is stopping: the running refresh's waits end at once and it fetches nothing
    // more; no later refresh fetches anything.
    void stopFetching() { refresh_.stop(); }
    // Called each time a refresh has ended.
    std::function<void()> onRefreshEnded;
    // Called after each refresh that tried the grab (the time to save the board's state).
    std::function<void()> onGrabTried;

    // What the board keeps between runs: every source's cache (each person's calendar data, by
    // item id), the data time and the last grab's outcome.
    QJsonObject saveState() const;
    // Takes back what saveState wrote, after start: the rows are composed from it and published
    // at once, flagged as restored until a grab succeeds. Parts that do not read are skipped.
    void restoreState(const QJsonObject& saved);

    Roster& roster() { return roster_; }
    BoardState& state() { return state_; }
    RefreshCycle& refresh() { return refresh_; }
    SourceRegistry& sources() { return sources_; }
    // The board last published; empty before the first refresh.
    SharedSnapshot board() const { return board_; }

private:
    void publish(const SharedSnapshot& board) override;
    void refreshEnded(const SharedSnapshot& board) override;

    BoardSettings settings_;
    std::string boardAddress_;
    LogWriter& log_;
    PublishSnapshot publish_;
    BoardState state_;
    Roster roster_;
    std::optional<Roster> reloaded_;  // waits for the next refresh to start
    BrowserDriver driver_;
    SourceRegistry sources_;
    RefreshCycle refresh_;
    SharedSnapshot board_;
    std::optional<Instant> grabTried_;  // the attempt onGrabTried last reported
};

}  // namespace quorvane
