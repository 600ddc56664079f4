#include "board/Roster.h"

#include <string_view>

#include "log/LogWriter.h"
#include "text/Errors.h"
#include "text/LineList.h"
#include "text/Utf8.h"

namespace {

// Whether a line names no person: blank, or a comment.
bool isNoPerson(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos || line[first] == RosterCommentMark;
}

}  // namespace

void loadRoster(Roster& roster, const std::string& fileName, LogWriter* log)
{
    roster.clear();
    StringList file;
    file.loadFromFile(fileName);
    // The people and the file line each came from (1-based).
    std::vector<std::string> lines;
    std::vector<int> lineNumbers;
    for (int i = 0; i < file.count(); ++i) {
        std::string line = file.get(i);
        if (i == 0 && line.rfind(Utf8ByteOrderMark, 0) == 0) line.erase(0, Utf8ByteOrderMark.size());
        if (isNoPerson(line)) continue;
        lines.push_back(std::move(line));
        lineNumbers.push_back(i + 1);
    }
    roster.assign(lines.size(), Person{});
    StringList fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Person& person = roster[i];
        const std::string where = fileName + ":" + std::to_string(lineNumbers[i]) + ": ";
        fields.setCommaText(lines[i]);
        try {
            // Fetched one by one: a missing field raises with the earlier ones already stored.
            person.name = fields.get(NameField);
            person.itemId = fields.get(ItemIdField);
            person.leaveTag = fields.get(LeaveTagField);
        } catch (const StringListError& error) {
            throw StringListError(where + error.message());
        }
        if (log && (!isValidUtf8(person.name) || !isValidUtf8(person.leaveTag)))
            log->log(where + std::string(RosterInvalidUtf8Text), false);
    }
}
