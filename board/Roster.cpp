#include "board/Roster.h"

#include <string_view>

#include "log/LogWriter.h"
#include "text/Errors.h"
#include "text/LineList.h"

namespace {

// Whether a line names no person: blank, or a comment.
bool isNoPerson(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos || line[first] == RosterCommentMark;
}

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length;
        unsigned int min, code;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
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
