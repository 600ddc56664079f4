#pragma once
// What is wrong or odd about one roster line, in words an office manager can act on. The line is
// read as comma text (blanks end an unquoted field as a comma does), so a name with a space and
// no quotes, or a missing comma, still gives fields, just not the ones meant.
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct RosterLineCheck {
    std::string problem;                // why the line lists no one (it is skipped); empty: it lists a person
    std::vector<std::string> oddities;  // the person is listed, but the line reads oddly
};

RosterLineCheck checkRosterLine(std::string_view line);

}  // namespace quorvane
