#pragma once
// The program-wide board state shared by the refresh, the parser, the browser driver and start-up.
#include <string>
#include <vector>

#include "text/DateTime.h"

// What the latest refresh that fetched (or tried to) made of the grab, for a stale-data notice.
struct GrabOutcome {
    DateTime attemptedAt = 0;               // real time that refresh began; 0: none yet
    bool succeeded = false;                 // the grab is complete and every shown page is from it
    std::string failure;                    // the first reason a page or the log-in failed, or empty
    std::vector<std::string> stalePeople;   // people whose shown page is not from the grab
};

struct BoardState {
    DateTime nowTime = 0;      // effective "now" of the running refresh (real or fake)
    DateTime dataTime = 0;     // real time at which the last completed grab began
    DateTime grabStartedAt = 0; // real time the open grab's first log-in began; 0: none open
    GrabOutcome lastGrab{};
    bool grabPending = false;   // the next refresh (or the rest of this one) fetches day views
    bool pageLoaded = false;    // the awaited page has loaded or its wait timed out
    std::string userId, password;
};
