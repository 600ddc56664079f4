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
// cannot be opened (FileOpenError, the one failure raised). A line that lists no one (a quote
// not closed, fewer than three fields) is skipped, the others still listed; a line that lists a
// person but reads oddly (a space where a comma should be, more than three fields), and a name
// or tag that is not valid UTF-8, is listed as read. Each is logged as a warning naming the file
// and the line, when log is given.
void loadRoster(Roster& roster, const std::string& fileName = std::string(RosterFileName), LogWriter* log = nullptr);

}  // namespace quorvane
