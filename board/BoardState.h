#pragma once
// The board's state across refreshes: the open grab, what the last one made of it, and the
// calendar log-in.
#include <optional>
#include <string>
#include <vector>

#include "text/Instant.h"

namespace quorvane {

// What the latest refresh that fetched (or tried to) made of the grab, for a stale-data notice.
struct GrabOutcome {
    std::optional<Instant> attemptedAt;     // when that refresh began; none yet
    bool succeeded = false;                 // the grab is complete and every shown calendar is from it
    std::string failure;                    // the first reason a fetch or the log-in failed, or empty
    std::vector<std::string> stalePeople;   // people whose shown calendar is not from the grab
};

struct BoardState {
    Instant now{};                          // effective "now" of the running refresh (real or fake)
    std::optional<Instant> dataTime;        // when the last completed grab began
    std::optional<Instant> grabStartedAt;   // when the open grab's first fetching began
    GrabOutcome lastGrab{};
    bool grabPending = false;  // the next refresh (or the rest of this one) fetches calendars
    bool restoredFromState = false;  // the data shown was saved by an earlier run; no grab has succeeded since
    std::string rosterFailure;  // why the roster file could not be read at the start; empty once one is read
    std::string userId, password;
};

}  // namespace quorvane
