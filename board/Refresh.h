#pragma once
// The refresh: fixes the effective time, logs in and fetches the day views the open grab has not
// yet fetched, reads each person's cached day view into a status, publishes the board's snapshot
// and shows the board page in the window's browser.
//
// Only a day view replaces a cached day view. A failed log-in fetches nothing; a wait that times
// out, or a day view showing the log-in form (the session is gone), ends this refresh's fetching.
// The grab then stays pending, and the next refresh (logging in again) fetches only the people
// not yet tried in it, so a hung calendar costs one time-out per refresh and the board's "now"
// keeps moving over the cached pages.
#include <functional>
#include <string>

#include "board/BoardState.h"
#include "board/CalendarSources.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "browser/BrowserDriver.h"
#include "text/Clock.h"
#include "log/LogWriter.h"
#include "board/BoardSnapshot.h"

class RefreshCycle {
public:
    // boardAddress: where the browser goes after each refresh (the board's own page); publish
    // receives the board's snapshot at the end of each refresh.
    RefreshCycle(Roster& roster, BoardState& state, BrowserDriver& browser, LogWriter& log, const Clock& clock,
                 RefreshHost& host, PublishSnapshot publish, std::string calendarHost, std::string boardAddress,
                 CalendarFetchSettings calendarFetch = {});

    // One refresh. Asked for again while one runs (from an event handled inside one of its
    // waits or log calls), it is remembered and run once more after the running one has ended
    // normally; several such requests make one follow-up. When the running refresh raises, the
    // error propagates and the remembered request is dropped: the failure is reported first, and
    // the grab flag it left set makes the next refresh grab again.
    void requestRefresh();
    // Capture (while a grab is pending) and read of one person's day view into their status.
    void processPerson(int index);
    bool running() const { return running_; }
    // Called as each refresh starts, before it reads anything: the one moment the roster may
    // be replaced.
    std::function<void()> beforeRun;

    // Day views over https instead of the calendar's plain http.
    void setDayViewsOverHttps(bool https) { dayViewsOverHttps_ = https; }
    // The program is stopping: the wait under way ends at once and no further page is fetched
    // (calendar addresses included).
    void stop()
    {
        browser_.stop();
        calendars_.abort();
    }

private:
    void runOnce();
    void publish();
    bool readsWebCalendar() const;
    // The log-in; the reason it failed, or empty.
    std::string logIn();
    // Stores the page fetched for this person when it is their day view; otherwise keeps the
    // cached one and logs why.
    void storeFetchedPage(int index);
    void noteFailure(const std::string& reason);
    // Closes the grab when every person has been tried, and records its outcome.
    void finishGrab(DateTime attemptAt, bool completesGrab);

    Roster& roster_;
    BoardState& state_;
    BrowserDriver& browser_;
    LogWriter& log_;
    const Clock& clock_;
    RefreshHost& host_;
    PublishSnapshot publish_;
    std::string calendarHost_;
    std::string boardAddress_;
    CalendarSources calendars_;
    std::vector<PersonStatus> statuses_;  // this refresh's statuses, person by person
    bool dayViewsOverHttps_ = false;
    bool running_ = false;
    bool followUp_ = false;
    // The person whose day view the running refresh has just fetched, or -1, and how the wait went.
    int fetchedIndex_ = -1;
    WaitOutcome fetchOutcome_ = WaitOutcome::Loaded;
    // This refresh fetches no more pages (failed log-in, time-out, lost session, stop).
    bool fetchingEnded_ = false;
    std::string failure_;  // this refresh's first failure
};
