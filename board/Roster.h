#pragma once
// The roster: five parallel columns, one entry per line of people.txt.
#include <string>
#include <vector>

#include "board/BoardConstants.h"

struct Roster {
    std::vector<std::string> personName, calendarItemId, statusHtml, leaveTag, dayPageHtml;

    // The number of people: the length of the item-id column.
    int count() const { return static_cast<int>(calendarItemId.size()); }
    // Five empty columns.
    void reset();
};

// Fills the roster from the file: name, item id and leave tag, as comma text, one person a line.
// The columns are emptied first, so they exist even when the file cannot be opened
// (FileOpenError); a line short of a field raises StringListError with the fields before the
// missing one already stored and all columns at full length.
void loadRoster(Roster& roster, const std::string& fileName = std::string(RosterFileName));
