#pragma once
// The program-wide board state shared by the refresh, the parser, the browser driver and start-up.
#include <string>

#include "text/DateTime.h"

struct BoardState {
    DateTime nowTime = 0;      // effective "now" of the running refresh (real or fake)
    DateTime dataTime = 0;     // real time at which the last grab began
    bool grabPending = false;   // the next refresh (or the rest of this one) fetches day views
    bool lastGrabOk = false;    // the last grab went round everyone
    DateTime lastGrabTime = 0;  // real time at which it ended
    bool pageLoaded = false;    // the awaited page has loaded or its wait timed out
    std::string userId, password;
};
