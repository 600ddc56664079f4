#include "board/RosterLine.h"

#include "board/BoardConstants.h"

namespace quorvane {

namespace {

// A character comma text skips between fields (codes 1 to 32); NUL ends the text.
bool isBlank(char c) { return c != Nul && static_cast<unsigned char>(c) <= LastBlankCode; }

}  // namespace

RosterLineCheck checkRosterLine(std::string_view line)
{
    // Cut at a NUL as the comma text reader is.
    line = line.substr(0, line.find(Nul));
    int fields = 0;
    bool unclosedQuote = false, blankSeparated = false;
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < line.size() && isBlank(line[at])) ++at;
    };
    skipBlanks();
    while (at < line.size()) {
        if (line[at] == CommaQuote) {
            // Up to the next quote that is not doubled; none: the field runs to the end.
            for (++at;; ++at) {
                if (at >= line.size()) {
                    unclosedQuote = true;
                    break;
                }
                if (line[at] != CommaQuote) continue;
                if (at + 1 < line.size() && line[at + 1] == CommaQuote) {
                    ++at;
                    continue;
                }
                ++at;
                break;
            }
        } else {
            while (at < line.size() && !isBlank(line[at]) && line[at] != CommaSeparator) ++at;
        }
        ++fields;
        skipBlanks();
        if (at >= line.size()) break;
        if (line[at] == CommaSeparator) {
            if (at + 1 >= line.size()) ++fields;  // a comma at the end: one empty field after it
            ++at;
            skipBlanks();
        } else {
            blankSeparated = true;  // the next field begins without a comma before it
        }
    }
    RosterLineCheck check;
    if (fields < RosterFieldCount) {
        check.problem = unclosedQuote ? std::string(RosterUnclosedQuoteText)
                                      : std::string(RosterFieldCountText) + std::to_string(fields);
        return check;
    }
    if (unclosedQuote) check.oddities.emplace_back(RosterUnclosedQuoteText);
    if (blankSeparated) check.oddities.emplace_back(RosterBlankSeparatedText);
    if (fields > RosterFieldCount)
        check.oddities.push_back(std::string(RosterExtraFieldsHead) + std::to_string(fields) +
                                 std::string(RosterExtraFieldsTail));
    return check;
}

}  // namespace quorvane
