#pragma once
// The program-wide board state shared by the refresh, the parser, the browser driver and start-up.
#include <string>

#include "text/DateTime.h"

struct TBoardState {
    TDateTime NowTime = 0;      // effective "now" of the running refresh (real or fake)
    TDateTime DataTime = 0;     // real time at which the last grab began
    bool GrabPending = false;   // the next refresh (or the rest of this one) fetches day views
    bool PageLoaded = false;    // the awaited page has loaded or its wait timed out
    std::string UserId, Password;
};
