#pragma once
// The board's data as UTF-8 JSON for the wall page (GET /board.json): plain texts, times in ISO
// 8601 local time with the zone's offset.
#include <string>
#include <string_view>

#include "board/BoardSnapshot.h"

// With hideTitles meetings read "In a meeting" and notes their kind: no description or note text
// is output, and the status cell is the hidden-titles one. generated is the instant the page
// measures the data's age against.
std::string buildBoardJson(const BoardSnapshot& snapshot, bool hideTitles, Instant generated);

// Names used in the JSON.
std::string_view personStateName(PersonState state);
std::string_view noteKindName(NoteKind kind);
// "2024-05-08T10:30:00+02:00": the local time of an instant with the zone's offset.
std::string isoLocalTime(Instant instant);
