#include "tools/democal/DemoPeople.h"

#include <array>

namespace quorvane {

namespace {

// Names and tags are UTF-8; one name carries an accented letter.
constexpr std::array<DemoPerson, 8> People{{
    {"Ann Example", "1001", "A Example", DemoRole::InMeeting},
    {"Ben Carter", "1002", "B Carter", DemoRole::TwoMeetings},
    {"Jos\xC3\xA9 Alvarez", "1003", "J Alvarez", DemoRole::OnLeave},
    {"Dana Whitfield", "1004", "D Whitfield", DemoRole::OthersLeave},
    {"Eli Moreau", "1005", "E Moreau", DemoRole::BankHoliday},
    {"Fay Lindqvist", "1006", "F Lindqvist", DemoRole::LateStart},
    {"Gus Baptiste", "1007", "G Baptiste", DemoRole::EarlyFinish},
    {"Hana Okafor", "1008", "H Okafor", DemoRole::Free},
}};

}  // namespace

std::span<const DemoPerson> demoPeople() { return People; }

const DemoPerson* findDemoPerson(std::string_view itemId) {
    for (const DemoPerson& person : People)
        if (person.itemId == itemId) return &person;
    return nullptr;
}

const DemoPerson& demoPersonOnLeave() {
    for (const DemoPerson& person : People)
        if (person.role == DemoRole::OnLeave) return person;
    return People.front();
}

}  // namespace quorvane
