#pragma once
// The refresh: fixes the effective time, logs in and fetches every day view while a grab is
// pending, parses each person's cached day view into a status, replaces the board fragment and
// shows the board page in the window's browser.
#include <string>

#include "board/BoardState.h"
#include "board/RefreshHost.h"
#include "board/Roster.h"
#include "browser/BrowserDriver.h"
#include "text/Clock.h"
#include "ui/LogWriter.h"

class TRefreshCycle {
public:
    TRefreshCycle(TRoster& roster, TBoardState& state, TBrowserDriver& browser, TLogWriter& log,
                  const TClock& clock, TRefreshHost& host, std::string calendarHost);

    // One refresh. Asked for again while one runs (from an event handled inside one of its
    // waits or log calls), it is remembered and run once more after the running one has ended
    // normally; several such requests make one follow-up. When the running refresh raises, the
    // error propagates and the remembered request is dropped: the failure is reported first, and
    // the grab flag it left set makes the next refresh grab again.
    void Button1Click();
    // Capture (while a grab is pending) and parse of one person's day view into StatusHtml.
    void ProcessPerson(int index);
    bool Running() const { return running_; }

private:
    void RunOnce();

    TRoster& roster_;
    TBoardState& state_;
    TBrowserDriver& browser_;
    TLogWriter& log_;
    const TClock& clock_;
    TRefreshHost& host_;
    std::string calendarHost_;
    bool running_ = false;
    bool followUp_ = false;
    // The person whose day view the running refresh has just fetched, or -1.
    int fetchedIndex_ = -1;
};
