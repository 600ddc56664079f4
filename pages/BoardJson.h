#pragma once
// The board's data as UTF-8 JSON for the wall page (GET /board.json): plain texts, times in ISO
// 8601 local time with the zone's offset.
#include <string>
#include <string_view>

#include "board/BoardSnapshot.h"

namespace quorvane {

// With hideTitles meetings read "In a meeting" and notes their kind: no description or note text
// is output, and the status cell is the hidden-titles one. generated is the instant the page
// measures the data's age against. A person's own status is a note of kind "self" with its "end"
// (null: until cleared), in their own words even with hideTitles; with selfStatus (people's own
// statuses served) where the calendar says they work is named "self" too.
std::string buildBoardJson(const BoardSnapshot& snapshot, bool hideTitles, Instant generated,
                           bool selfStatus = false);

// Names used in the JSON.
std::string_view personStateName(PersonState state);
std::string_view noteKindName(NoteKind kind);
// "2024-05-08T10:30:00+02:00": the local time of an instant with the zone's offset.
std::string isoLocalTime(Instant instant);

}  // namespace quorvane
