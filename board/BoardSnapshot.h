#pragma once
// What the board publishes after each change: every row and the grab's outcome, immutable once
// published. The pages (classic, wall, JSON) render from it; the board knows no page and no HTTP.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/PersonStatus.h"
#include "text/Instant.h"

namespace quorvane {

struct PersonRow {
    std::string name;
    PersonStatus status;                // at the snapshot's effective time
    std::optional<Instant> fetchedAt;   // when the calendar data shown was read; none: never read
    std::string failure;                // why the last fetch failed, or empty
};

struct BoardSnapshot {
    Instant effectiveNow{};              // the refresh's "now" (real or the operator's fake time)
    std::optional<Instant> dataTime;     // when the last completed grab began; none before the first
    bool lastGrabOk = false;
    std::optional<Instant> lastGrabTime; // when the last grab was attempted, ok or not
    std::vector<PersonRow> people;       // roster order
    bool restoredFromState = false;      // rows from the data an earlier run saved: not current
    std::string rosterFailure;           // the roster file could not be read: why (no one is listed)
};

using SharedSnapshot = std::shared_ptr<const BoardSnapshot>;
// Where the board hands each new snapshot (the pages, a test).
using PublishSnapshot = std::function<void(SharedSnapshot)>;

}  // namespace quorvane
