#include "board/Roster.h"

#include <string_view>

#include "board/RosterLine.h"
#include "log/LogWriter.h"
#include "text/Errors.h"
#include "text/LineList.h"
#include "text/Utf8.h"

namespace quorvane {

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
    roster.reserve(lines.size());
    StringList fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string where = fileName + ":" + std::to_string(lineNumbers[i]) + ": ";
        RosterLineCheck check = checkRosterLine(lines[i]);
        fields.setCommaText(lines[i]);
        // The fields as read are the last word: a line short of one is never read past its end.
        if (check.problem.empty() && fields.count() < RosterFieldCount)
            check.problem = std::string(RosterFieldCountText) + std::to_string(fields.count());
        // A bad line costs its own person only: the others are listed.
        if (!check.problem.empty()) {
            if (log) log->warn(where + std::string(RosterLineSkippedText) + check.problem);
            continue;
        }
        Person person;
        person.name = fields.get(NameField);
        person.itemId = fields.get(ItemIdField);
        person.leaveTag = fields.get(LeaveTagField);
        if (log && !check.oddities.empty()) {
            std::string text = where + std::string(RosterWarningText);
            for (std::size_t k = 0; k < check.oddities.size(); ++k)
                text += (k ? std::string(RosterOdditySeparator) : std::string()) + check.oddities[k];
            text += " (read as name \"" + person.name + "\", calendar \"" + person.itemId + "\", leave tag \"" +
                    person.leaveTag + "\")";
            log->warn(text);
        }
        if (log && (!isValidUtf8(person.name) || !isValidUtf8(person.leaveTag)))
            log->warn(where + std::string(RosterInvalidUtf8Text));
        roster.push_back(std::move(person));
    }
}

}  // namespace quorvane
