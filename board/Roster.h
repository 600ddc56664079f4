#pragma once
// The roster: parallel columns, one entry per person line of people.txt.
#include <string>
#include <vector>

#include "board/BoardConstants.h"
#include "board/GrabProgress.h"

class LogWriter;

struct Roster {
    std::vector<std::string> personName, calendarItemId, leaveTag, dayPageHtml;
    std::vector<PersonFetch> fetch;  // each person's progress in the open grab

    // The number of people: the length of the item-id column.
    int count() const { return static_cast<int>(calendarItemId.size()); }
    // Empty columns.
    void reset();
};

// Fills the roster from the file: name, item id and leave tag, as comma text, one person a line.
// A UTF-8 byte-order mark at the start is skipped; blank lines and lines whose first non-blank
// character is "#" are not people. The columns are emptied first, so they exist even when the
// file cannot be opened (FileOpenError); a line short of a field raises StringListError
// ("FILE:LINE: List index out of bounds (N)") with the fields before the missing one already
// stored and all columns at full length. A name or tag that is not valid UTF-8 is logged as a
// warning naming its line (when log is given); the person is still listed.
void loadRoster(Roster& roster, const std::string& fileName = std::string(RosterFileName), LogWriter* log = nullptr);
