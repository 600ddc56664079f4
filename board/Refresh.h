#pragma once
// The refresh, as a state machine driven by completion callbacks: it fixes the effective time,
// opens the sources that have people to fetch (the web calendar's log-in), asks each source for
// the people the open grab has not yet fetched, composes every person's status from their
// source's cache as soon as their fetch ends (or at once when nothing is fetched for them),
// publishes each row as it is composed, and at the end closes the grab when everyone has been
// tried, publishes the board and re-arms the refresh timer. Nothing here waits: every step
// returns to the event loop, so a timer, a signal or a close in between is a plain call.
//
// A person whose calendar cannot be read fails alone: the refresh goes on and ends as usual.
// A grab may take several refreshes; a person is fetched once per grab.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "board/BoardOutput.h"
#include "board/BoardState.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "board/SourceRegistry.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

// What a refresh works with besides the board's own data.
struct RefreshLinks {
    SourceRegistry& sources;
    BoardOutput& output;
    RefreshHost& host;
    LogWriter& log;
    const Clock& clock;
};

class RefreshCycle {
public:
    RefreshCycle(Roster& roster, BoardState& state, RefreshLinks links);

    // Starts a refresh. Asked for while one runs, one more runs right after it (several such
    // requests make one). An operator's fake time that does not read raises ConvertError here,
    // before anything changes.
    void requestRefresh();
    bool running() const { return phase_ != Phase::Idle; }
    // The program is stopping: what the sources have under way ends promptly, the refresh then
    // ends as usual, and no later refresh fetches anything.
    void stop();
    bool stopped() const { return stopped_; }
    // Composes every row from the sources' caches at the clock's time and publishes the board
    // once, fetching nothing (the data an earlier run saved, shown at start).
    void showCached();
    // Called as each refresh starts, before it reads anything: the one moment the roster may
    // be replaced.
    std::function<void()> beforeRun;
    // Called as each person's fetch ends (fetched, or tried and failed), with their source's kind
    // and the seconds since this refresh began fetching: what the metrics count.
    std::function<void(const char* sourceKind, bool fetched, double seconds)> onPersonFetched;

private:
    enum class Phase { Idle, Opening, Fetching };

    void begin();
    void opened(CalendarSource* source, const std::string& failure);
    void startFetching();
    void reported(const FetchReport& report);
    void sourceDone();
    // Composes one person's row from their source's cache and publishes the board.
    void composePerson(std::size_t index);
    // Each person's source, and the rows for the roster (a new roster starts from names alone).
    void prepareRows();
    void composeRow(std::size_t index);
    void finish();
    // Closes the grab when every person has been tried, and records its outcome.
    void finishGrab();
    void noteFailure(const std::string& reason);
    SharedSnapshot snapshot() const;

    Roster& roster_;
    BoardState& state_;
    RefreshLinks links_;
    Phase phase_ = Phase::Idle;
    bool again_ = false;    // asked for while running: runs once more after
    bool stopped_ = false;
    // The refresh under way.
    bool grabbing_ = false;   // it fetches for the open grab
    Instant attemptAt_{};     // real time it began
    std::chrono::steady_clock::time_point fetchingSince_{};  // when it asked the sources
    std::string failure_;     // its first failure
    int waiting_ = 0;         // sources still opening, then still fetching
    std::vector<CalendarSource*> sourceOf_;  // each person's source
    std::vector<CalendarSource*> closed_;    // sources whose opening failed: they fetch nothing
    std::vector<bool> composed_;
    std::vector<PersonRow> rows_;             // the board's rows, kept from one refresh to the next
};

}  // namespace quorvane
