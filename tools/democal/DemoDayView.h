#pragma once
// A person's day around a minute of day, and its day-view page in the calendar's old markup.
#include <string>
#include <vector>

#include "tools/democal/DemoDate.h"
#include "tools/democal/DemoPeople.h"

namespace quorvane {

// Faults a day view can be asked to show, for hardening the board against a bad server.
enum class DemoFault {
    None,
    NeverComplete,  // the connection is accepted and never answered
    BrokenTime,     // one more meeting whose time range does not read as two times
    Unterminated,   // one more meeting whose block is never closed by "</FONT>"
    LostSession,    // after DemoSessionDayViews day views every session is lost once (the log-in form shows)
    SlowItem,       // item DemoSlowItem's day view answers after DemoSlowItemSeconds, from its second request on
    HugePage,       // every day view carries DemoHugePageBytes of hidden text
    OneUnreadable,  // item DemoUnreadableItem's day view has the unterminated block; the others are sound
};

struct DemoMeeting {
    int start = 0;  // minutes of day, Start < End, both within 00:00..23:59
    int end = 0;
    std::string description;
    std::string room;
};

struct DemoDayPlan {
    std::vector<DemoMeeting> meetings;    // in page order, numbered from 1
    std::vector<std::string> dayEvents;   // in page order, numbered from 1
};

// Places the person's meetings around `minute`: a meeting meant to be in progress starts before
// and ends at or after it; near midnight the times are clamped to 00:00..23:59 and a meeting
// that would be left empty (or would wrongly cover `minute`) is left out.
DemoDayPlan planDay(const DemoPerson& person, int minute);

// The day-view page. The date is the one asked for; person may be nullptr (an unknown item id:
// an empty day view).
std::string renderDayView(const DemoPerson* person, const DemoDate& date, const DemoDayPlan& plan,
                          DemoFault fault);

}  // namespace quorvane
