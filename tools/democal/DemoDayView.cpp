#include "tools/democal/DemoDayView.h"

#include <algorithm>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoPages.h"

namespace quorvane {

namespace {

// A meeting relative to the current minute: offsets in minutes.
struct RelativeMeeting {
    int from;
    int to;
    const char* description;
    const char* room;
};

// Adds a meeting, clamped to the day; one that would become empty, or that was meant to be
// over (or not yet begun) but would cover `minute` after clamping, is left out.
void addMeeting(DemoDayPlan& plan, int minute, const RelativeMeeting& meeting) {
    int start = std::clamp(minute + meeting.from, 0, DemoLastMinute);
    int end = std::clamp(minute + meeting.to, 0, DemoLastMinute);
    if (start >= end) return;
    bool meantNow = meeting.from < 0 && meeting.to >= 0;
    bool coversNow = start < minute && minute <= end;
    if (!meantNow && coversNow) return;
    plan.meetings.push_back({start, end, meeting.description, meeting.room});
}

std::string leave(std::string_view tag) { return std::string(DemoLeavePrefix) + std::string(tag); }

std::string eventHref(const DemoPerson& person, int number) {
    return std::string(DemoCalendarPath) + "?sub=web&amp;web=event&amp;item=" +
           std::string(person.itemId) + "&amp;entry=" + std::to_string(number);
}

// A meeting without its closing tag; with `wrapped` it opens a FONT element that the caller
// closes.
std::string meetingMarkup(const DemoPerson& person, int number, const std::string& range,
                          const std::string& description, const std::string& room) {
    std::string markup = "<A name=meetingNum" + std::to_string(number) + " href=\"" +
                         eventHref(person, number) + "\">Details</A>" + range + "<BR>" +
                         htmlEscape(description);
    if (!room.empty()) markup += "<BR> (" + htmlEscape(room) + ")";
    return markup;
}

}  // namespace

DemoDayPlan planDay(const DemoPerson& person, int minute) {
    DemoDayPlan plan;
    switch (person.role) {
    case DemoRole::InMeeting:
        addMeeting(plan, minute, {-150, -135, "Stand-up", "Room 2"});
        addMeeting(plan, minute, {-30, 65, "Budget review", "Room 4"});
        break;
    case DemoRole::TwoMeetings:
        addMeeting(plan, minute, {-40, 70, "Project sync", "Room 2"});
        addMeeting(plan, minute, {-10, 80, "Supplier call", "Phone"});
        break;
    case DemoRole::OnLeave:
        plan.dayEvents.push_back(leave(person.leaveTag));
        break;
    case DemoRole::OthersLeave:
        plan.dayEvents.push_back(leave(demoPersonOnLeave().leaveTag));
        plan.dayEvents.push_back(std::string(DemoTeamLunch));
        addMeeting(plan, minute, {-20, 60, "Interview panel", "Room 1"});
        break;
    case DemoRole::BankHoliday:
        plan.dayEvents.push_back(std::string(DemoBankHoliday));
        break;
    case DemoRole::LateStart:
        plan.dayEvents.push_back(std::string(DemoLateStart));
        addMeeting(plan, minute, {45, 90, "Design review", "Room 3"});
        break;
    case DemoRole::EarlyFinish:
        plan.dayEvents.push_back(std::string(DemoEarlyFinish));
        addMeeting(plan, minute, {-15, 30, "Code review", "Room 5"});
        break;
    case DemoRole::Free:
        addMeeting(plan, minute, {-120, -60, "Training", "Room 6"});
        addMeeting(plan, minute, {40, 100, "Client visit", "Reception"});
        break;
    }
    return plan;
}

std::string renderDayView(const DemoPerson* person, const DemoDate& date, const DemoDayPlan& plan,
                          DemoFault fault) {
    std::string name = person ? htmlEscape(person->name) : std::string("Unknown calendar");
    std::string page = "<HTML><HEAD><TITLE>Day view - " + name +
                       "</TITLE></HEAD>\n<BODY BGCOLOR=#FFFFFF>\n<TABLE BORDER=0 WIDTH=100%><TR><TD><B>" +
                       name + "</B> - " + longDateText(date) + "</TD></TR></TABLE>\n";
    if (!person) return page + "<P>No calendar entries.</P>\n</BODY></HTML>\n";

    page += "<TABLE BORDER=1 CELLPADDING=2 WIDTH=100%>\n";
    int number = 0;
    for (const std::string& text : plan.dayEvents) {
        ++number;
        page += "<TR><TD><A name=specialNum" + std::to_string(number) + " href=\"" +
                eventHref(*person, number) + "\">Note</A><FONT size=-1>" + htmlEscape(text) +
                "</FONT></TD></TR>\n";
    }
    number = 0;
    for (const DemoMeeting& meeting : plan.meetings) {
        ++number;
        std::string range = clockText(meeting.start) + " - " + clockText(meeting.end);
        page += "<TR><TD><FONT size=-1>" +
                meetingMarkup(*person, number, range, meeting.description, meeting.room) +
                "</FONT></TD></TR>\n";
    }
    if (fault == DemoFault::BrokenTime) {
        ++number;
        page += "<TR><TD><FONT size=-1>" +
                meetingMarkup(*person, number, std::string(DemoBrokenTimeRange), "Fire drill", "") +
                "</FONT></TD></TR>\n";
    }
    page += "</TABLE>\n";
    if (fault == DemoFault::Unterminated ||
        (fault == DemoFault::OneUnreadable && person->itemId == DemoUnreadableItem)) {
        // After every FONT element and outside any: no "</FONT>" follows this block, also once
        // a browser has parsed and serialised the page.
        ++number;
        std::string range = clockText(0) + " - " + clockText(DemoLastMinute);
        page += "<P>" + meetingMarkup(*person, number, range, "Fire drill", "") + "</P>\n";
    }
    return page + "</BODY></HTML>\n";
}

}  // namespace quorvane
