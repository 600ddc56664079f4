#include "tools/democal/DemoDayView.h"

#include <algorithm>

#include "tools/democal/DemoConstants.h"
#include "tools/democal/DemoPages.h"

namespace {

// A meeting relative to the current minute: offsets in minutes.
struct RelativeMeeting {
    int From;
    int To;
    const char* Description;
    const char* Room;
};

// Adds a meeting, clamped to the day; one that would become empty, or that was meant to be
// over (or not yet begun) but would cover `minute` after clamping, is left out.
void AddMeeting(DemoDayPlan& plan, int minute, const RelativeMeeting& meeting) {
    int start = std::clamp(minute + meeting.From, 0, DemoLastMinute);
    int end = std::clamp(minute + meeting.To, 0, DemoLastMinute);
    if (start >= end) return;
    bool meantNow = meeting.From < 0 && meeting.To >= 0;
    bool coversNow = start < minute && minute <= end;
    if (!meantNow && coversNow) return;
    plan.Meetings.push_back({start, end, meeting.Description, meeting.Room});
}

std::string Leave(std::string_view tag) { return std::string(DemoLeavePrefix) + std::string(tag); }

std::string EventHref(const DemoPerson& person, int number) {
    return std::string(DemoCalendarPath) + "?sub=web&amp;web=event&amp;item=" +
           std::string(person.ItemId) + "&amp;entry=" + std::to_string(number);
}

// A meeting without its closing tag; with `wrapped` it opens a FONT element that the caller
// closes.
std::string MeetingMarkup(const DemoPerson& person, int number, const std::string& range,
                          const std::string& description, const std::string& room) {
    std::string markup = "<A name=meetingNum" + std::to_string(number) + " href=\"" +
                         EventHref(person, number) + "\">Details</A>" + range + "<BR>" +
                         HtmlEscape(description);
    if (!room.empty()) markup += "<BR> (" + HtmlEscape(room) + ")";
    return markup;
}

}  // namespace

DemoDayPlan PlanDay(const DemoPerson& person, int minute) {
    DemoDayPlan plan;
    switch (person.Role) {
    case DemoRole::InMeeting:
        AddMeeting(plan, minute, {-150, -135, "Stand-up", "Room 2"});
        AddMeeting(plan, minute, {-30, 65, "Budget review", "Room 4"});
        break;
    case DemoRole::TwoMeetings:
        AddMeeting(plan, minute, {-40, 70, "Project sync", "Room 2"});
        AddMeeting(plan, minute, {-10, 80, "Supplier call", "Phone"});
        break;
    case DemoRole::OnLeave:
        plan.DayEvents.push_back(Leave(person.LeaveTag));
        break;
    case DemoRole::OthersLeave:
        plan.DayEvents.push_back(Leave(DemoPersonOnLeave().LeaveTag));
        plan.DayEvents.push_back(std::string(DemoTeamLunch));
        AddMeeting(plan, minute, {-20, 60, "Interview panel", "Room 1"});
        break;
    case DemoRole::BankHoliday:
        plan.DayEvents.push_back(std::string(DemoBankHoliday));
        break;
    case DemoRole::LateStart:
        plan.DayEvents.push_back(std::string(DemoLateStart));
        AddMeeting(plan, minute, {45, 90, "Design review", "Room 3"});
        break;
    case DemoRole::EarlyFinish:
        plan.DayEvents.push_back(std::string(DemoEarlyFinish));
        AddMeeting(plan, minute, {-15, 30, "Code review", "Room 5"});
        break;
    case DemoRole::Free:
        AddMeeting(plan, minute, {-120, -60, "Training", "Room 6"});
        AddMeeting(plan, minute, {40, 100, "Client visit", "Reception"});
        break;
    }
    return plan;
}

std::string RenderDayView(const DemoPerson* person, const DemoDate& date, const DemoDayPlan& plan,
                          DemoFault fault) {
    std::string name = person ? HtmlEscape(person->Name) : std::string("Unknown calendar");
    std::string page = "<HTML><HEAD><TITLE>Day view - " + name +
                       "</TITLE></HEAD>\n<BODY BGCOLOR=#FFFFFF>\n<TABLE BORDER=0 WIDTH=100%><TR><TD><B>" +
                       name + "</B> - " + LongDateText(date) + "</TD></TR></TABLE>\n";
    if (!person) return page + "<P>No calendar entries.</P>\n</BODY></HTML>\n";

    page += "<TABLE BORDER=1 CELLPADDING=2 WIDTH=100%>\n";
    int number = 0;
    for (const std::string& text : plan.DayEvents) {
        ++number;
        page += "<TR><TD><A name=specialNum" + std::to_string(number) + " href=\"" +
                EventHref(*person, number) + "\">Note</A><FONT size=-1>" + HtmlEscape(text) +
                "</FONT></TD></TR>\n";
    }
    number = 0;
    for (const DemoMeeting& meeting : plan.Meetings) {
        ++number;
        std::string range = ClockText(meeting.Start) + " - " + ClockText(meeting.End);
        page += "<TR><TD><FONT size=-1>" +
                MeetingMarkup(*person, number, range, meeting.Description, meeting.Room) +
                "</FONT></TD></TR>\n";
    }
    if (fault == DemoFault::BrokenTime) {
        ++number;
        page += "<TR><TD><FONT size=-1>" +
                MeetingMarkup(*person, number, std::string(DemoBrokenTimeRange), "Fire drill", "") +
                "</FONT></TD></TR>\n";
    }
    page += "</TABLE>\n";
    if (fault == DemoFault::Unterminated) {
        // After every FONT element and outside any: no "</FONT>" follows this block, also once
        // a browser has parsed and serialised the page.
        ++number;
        std::string range = ClockText(0) + " - " + ClockText(DemoLastMinute);
        page += "<P>" + MeetingMarkup(*person, number, range, "Fire drill", "") + "</P>\n";
    }
    return page + "</BODY></HTML>\n";
}
