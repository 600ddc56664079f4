#pragma once
// The refresh: fixes the effective time, logs in and fetches every day view while a grab is
// pending, parses each person's cached day view into a status, replaces the fragment the web
// server reads, shows it to the operator and shows the board page in the window's browser.
#include <functional>
#include <string>

#include "board/BoardState.h"
#include "board/CalendarSources.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "browser/BrowserDriver.h"
#include "text/Clock.h"
#include "log/LogWriter.h"
#include "webserver/FragmentStore.h"
#include "web/SnapshotStore.h"

class RefreshCycle {
public:
    // boardAddress: where the browser goes after each refresh (the board's own page).
    RefreshCycle(Roster& roster, BoardState& state, BrowserDriver& browser, LogWriter& log, const Clock& clock,
                 RefreshHost& host, FragmentStore& fragment, std::string calendarHost, std::string boardAddress,
                 CalendarFetchSettings calendarFetch = {});

    // One refresh. Asked for again while one runs (from an event handled inside one of its
    // waits or log calls), it is remembered and run once more after the running one has ended
    // normally; several such requests make one follow-up. When the running refresh raises, the
    // error propagates and the remembered request is dropped: the failure is reported first, and
    // the grab flag it left set makes the next refresh grab again.
    void requestRefresh();
    // Capture (while a grab is pending) and parse of one person's day view into statusHtml.
    void processPerson(int index);
    bool running() const { return running_; }
    // After each refresh the board's data also goes to store (for the wall page); with
    // hideTitles every status shows meetings and notes by their kind only, on both pages.
    void publishTo(SnapshotStore& store, bool hideTitles)
    {
        snapshots_ = &store;
        hideTitles_ = hideTitles;
    }
    // Called as each refresh starts, before it reads anything: the one moment the roster may
    // be replaced.
    std::function<void()> beforeRun;

private:
    void runOnce();
    void publish();
    bool readsWebCalendar() const;

    Roster& roster_;
    BoardState& state_;
    BrowserDriver& browser_;
    LogWriter& log_;
    const Clock& clock_;
    RefreshHost& host_;
    FragmentStore& fragment_;
    std::string calendarHost_;
    std::string boardAddress_;
    CalendarSources calendars_;
    SnapshotStore* snapshots_ = nullptr;
    bool hideTitles_ = false;
    std::vector<PersonView> views_;  // this refresh's parse, person by person
    bool running_ = false;
    bool followUp_ = false;
    // The person whose day view the running refresh has just fetched, or -1.
    int fetchedIndex_ = -1;
};
