#pragma once
// The roster: five parallel columns, one entry per line of people.txt.
#include <string>
#include <vector>

#include "board/BoardConstants.h"

struct TRoster {
    std::vector<std::string> PersonName, CalendarItemId, StatusHtml, LeaveTag, DayPageHtml;

    // The number of people: the length of the item-id column.
    int Count() const { return static_cast<int>(CalendarItemId.size()); }
    // Five empty columns.
    void Reset();
};

// Fills the roster from the file: name, item id and leave tag, as comma text, one person a line.
// The columns are emptied first, so they exist even when the file cannot be opened
// (EFOpenError); a line short of a field raises EStringListError with the fields before the
// missing one already stored and all columns at full length.
void LoadRoster(TRoster& roster, const std::string& fileName = std::string(RosterFileName));
