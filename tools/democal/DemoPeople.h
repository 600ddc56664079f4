#pragma once
// The people of the demo office and the part each one plays on the board. The table matches
// examples/demo/people.txt line by line (a test holds them together).
#include <span>
#include <string_view>

namespace quorvane {

// What a person's day looks like around the current time.
enum class DemoRole {
    InMeeting,     // one meeting in progress
    TwoMeetings,   // two overlapping meetings in progress
    OnLeave,       // own leave entry
    OthersLeave,   // a meeting in progress and a colleague's leave entry on the same page
    BankHoliday,   // a regional bank holiday
    LateStart,     // a late start, the next meeting later on
    EarlyFinish,   // an early finish and a short meeting now
    Free,          // meetings before and after, none now
};

struct DemoPerson {
    std::string_view name;
    std::string_view itemId;
    std::string_view leaveTag;
    DemoRole role;
};

std::span<const DemoPerson> demoPeople();
// The person with this calendar item id, or nullptr.
const DemoPerson* findDemoPerson(std::string_view itemId);
// The person whose leave entry shows on the page of the OthersLeave person.
const DemoPerson& demoPersonOnLeave();

}  // namespace quorvane
