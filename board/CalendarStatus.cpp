#include "board/CalendarStatus.h"

#include <cstdint>

#include "board/BoardConstants.h"
#include "board/KeywordMatch.h"
#include "board/StatusDetail.h"
#include "text/HtmlEscape.h"
#include "text/Text.h"

namespace quorvane {

namespace {

// A calendar's own text: escaped for the classic page, as it is for everything else.
CalendarText calendarText(const std::string& text) { return {htmlEscape(text, false), text}; }

CalendarText meetingDescription(const CalendarMeeting& meeting)
{
    if (meeting.isPrivate) return calendarText(std::string(PrivateText));
    CalendarText description = calendarText(meeting.summary);
    if (!meeting.location.empty()) {
        // The location joins the summary as the day views show it.
        description.html.append(LocationOpen).append(htmlEscape(meeting.location, false)).append(LocationClose);
        description.plain.append(" (").append(meeting.location).append(LocationClose);
    }
    return description;
}

}  // namespace

PersonStatus composeCalendarStatus(const CalendarDay& day, Instant now, const std::string& leaveTag, LogWriter& log)
{
    log.log(std::string(MeetingsCountText) + intToText(static_cast<std::int32_t>(day.meetings.size())), false);
    log.log(std::string(DayEventsCountText) + intToText(static_cast<std::int32_t>(day.dayEvents.size())), true);
    // One dot per item, written at once: a dot per log call had the log box lay the line out again
    // for every meeting.
    if (const std::size_t items = day.meetings.size() + day.dayEvents.size(); items > 0)
        log.log(std::string(items, ItemDotText.front()), true);

    PersonStatus status;
    for (const CalendarMeeting& meeting : day.meetings) {
        const Instant start = instantOfUnix(meeting.start), end = instantOfUnix(meeting.end);
        if (!(start < now && now <= end)) continue;
        MeetingStatus inProgress;
        inProgress.description = meetingDescription(meeting);
        inProgress.end = end;
        inProgress.showsUntil = !hasNoSuffixKeyword(inProgress.description.html);
        inProgress.endsLaterDay = !sameLocalDay(end, now);
        inProgress.isPrivate = meeting.isPrivate;
        status.meetings.push_back(std::move(inProgress));
    }

    for (const CalendarDayEvent& event : day.dayEvents) {
        // Admitted and kinded by its own words even when private: private leave is still leave,
        // only its words are not shown.
        CalendarText text = calendarText(event.summary);
        if (event.outOfOffice && text.plain.empty()) text = calendarText(std::string(OutOfOfficeText));
        const std::string lower = textLower(text.html);
        if (!event.outOfOffice && !containsAny(lower, AdmissionKeywords)) continue;
        const NoteKind kind = noteKindOf(text.html, event.outOfOffice);
        // On a shared leave calendar the tag picks the person's own entries, letter case included.
        if (kind == NoteKind::Leave && !leaveTag.empty() && !contains(text.html, leaveTag)) continue;
        if (event.isPrivate) text = calendarText(std::string(PrivateText));
        status.notes.push_back({std::move(text), kind});
    }
    status.state = stateOf(status);
    return status;
}

}  // namespace quorvane
