#pragma once
// The roster: one Person record per person line of people.txt, in file order.
#include <string>
#include <vector>

#include "board/BoardConstants.h"
#include "board/GrabProgress.h"

namespace quorvane {

class LogWriter;

struct Person {
    std::string name;
    std::string itemId;    // a web calendar item, or a calendar address (http:// or https://)
    std::string leaveTag;  // who a shared leave entry must name to be this person's
    FetchState fetch = FetchState::Pending;  // progress in the open grab
};

using Roster = std::vector<Person>;

// Fills the roster from the file: name, item id and leave tag, as comma text, one person a line.
// A UTF-8 byte-order mark at the start is skipped; blank lines and lines whose first non-blank
// character is "#" are not people. The roster is emptied first, so it is empty when the file
// cannot be opened (FileOpenError); a line short of a field raises StringListError
// ("FILE:LINE: List index out of bounds (N)") with one record per person line, the fields read
// before the missing one stored and the later people's left empty. A name or tag that is not
// valid UTF-8 is logged as a warning naming its line (when log is given); the person is still
// listed.
void loadRoster(Roster& roster, const std::string& fileName = std::string(RosterFileName), LogWriter* log = nullptr);

}  // namespace quorvane
