#pragma once
// The board's data as UTF-8 JSON for the wall page (GET /board.json).
#include <cstdint>
#include <string>
#include <string_view>

#include "web/BoardSnapshotData.h"

struct BoardJsonOptions {
    // Meetings read "In a meeting" and notes their kind; no description or note text is output,
    // and the status fragment is composed from those texts instead.
    bool hideTitles = false;
    std::int64_t nowUnix = 0;  // the "generated" instant; the page measures data age against it
};

std::string buildBoardJson(const BoardSnapshotData& snapshot, const BoardJsonOptions& options);

// Names used in the JSON and the labels shown for note kinds.
std::string_view personStateName(ViewState state);
std::string_view noteKindName(ViewNoteKind kind);
std::string_view noteKindLabel(ViewNoteKind kind);

// The classic status fragment with titles hidden: "In a meeting until hh:nn", "Also: ..." for
// further meetings and "Note: <kind>" for notes, in the classic composition.
std::string hiddenStatusHtml(const PersonView& person);
