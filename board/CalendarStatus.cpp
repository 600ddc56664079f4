#include "board/CalendarStatus.h"

#include <cstdint>

#include "board/BoardConstants.h"
#include "board/KeywordMatch.h"
#include "board/StatusDetail.h"
#include "text/DateTime.h"
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

// A timed out-of-office entry in progress is leave until its end; a timed working-location entry
// is a note while it lasts.
NoteStatus timedNote(const CalendarMeeting& meeting, Instant end, Instant now)
{
    if (meeting.workingElsewhere)
        return {calendarText(meeting.isPrivate ? std::string(PrivateText) : meeting.summary), NoteKind::Working};
    std::string text = meeting.isPrivate ? std::string(PrivateText) : meeting.summary;
    if (text.empty()) text = OutOfOfficeText;
    text.append(LeaveUntilText).append(
        dateTimeToText(sameLocalDay(end, now) ? LeaveUntilPattern : LeaveUntilLaterDayPattern, localOfInstant(end)));
    return {calendarText(text), NoteKind::Leave};
}

// An all-day entry that blocks time on the person's own calendar: leave or working from home by
// its flags or its words, else the kind its words give by the day views' rules. Of a private
// entry only its being leave or working is shown, as "Private".
NoteStatus ownDayNote(const CalendarDayEvent& event, const AbsenceWords& words)
{
    NoteKind kind = NoteKind::Other;
    if (event.workingElsewhere) {
        kind = NoteKind::Working;
    } else if (event.outOfOffice) {
        kind = NoteKind::Leave;
    } else {
        switch (words.match(event.summary)) {
        case AbsenceMatch::Working: kind = NoteKind::Working; break;
        case AbsenceMatch::Leave: kind = NoteKind::Leave; break;
        case AbsenceMatch::None: kind = noteKindOf(htmlEscape(event.summary, false)); break;
        }
    }
    if (event.isPrivate) {
        if (kind != NoteKind::Leave && kind != NoteKind::Working) kind = NoteKind::Other;
        return {calendarText(std::string(PrivateText)), kind};
    }
    if (!event.summary.empty()) return {calendarText(event.summary), kind};
    return {calendarText(std::string(event.outOfOffice ? OutOfOfficeText : BusyAllDayText)), kind};
}

// The start of the first meeting that blocks time from now on, the same local day.
std::optional<Instant> nextMeetingToday(const CalendarDay& day, Instant now)
{
    for (const CalendarMeeting& meeting : day.meetings) {  // by start
        const Instant start = instantOfUnix(meeting.start);
        if (start < now || meeting.workingElsewhere || meeting.end <= meeting.start) continue;
        if (!sameLocalDay(start, now)) break;
        return start;
    }
    return std::nullopt;
}

}  // namespace

PersonStatus composeCalendarStatus(const CalendarDay& day, Instant now, const std::string& leaveTag, LogWriter& log,
                                   const AbsenceWords& words)
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
        if (meeting.outOfOffice || meeting.workingElsewhere) {
            status.notes.push_back(timedNote(meeting, end, now));
            continue;
        }
        MeetingStatus inProgress;
        inProgress.description = meetingDescription(meeting);
        inProgress.end = end;
        inProgress.showsUntil = !hasNoSuffixKeyword(inProgress.description.html);
        inProgress.endsLaterDay = !sameLocalDay(end, now);
        inProgress.isPrivate = meeting.isPrivate;
        inProgress.tentative = meeting.tentative;
        status.meetings.push_back(std::move(inProgress));
    }

    for (const CalendarDayEvent& event : day.dayEvents) {
        if (leaveTag.empty() && !event.transparent) {
            status.notes.push_back(ownDayNote(event, words));
            continue;
        }
        // Admitted and kinded by its own words even when private: private leave is still leave,
        // shown as "Private".
        CalendarText text = calendarText(event.summary);
        if (event.outOfOffice && text.plain.empty()) text = calendarText(std::string(OutOfOfficeText));
        if (event.workingElsewhere) {
            status.notes.push_back({std::move(text), NoteKind::Working});
            continue;
        }
        const std::string lower = textLower(text.html);
        if (!event.outOfOffice && !containsAny(lower, AdmissionKeywords)) continue;
        const NoteKind kind = noteKindOf(text.html, event.outOfOffice);
        // On a shared leave calendar the tag picks the person's own entries, letter case included.
        if (kind == NoteKind::Leave && !leaveTag.empty() && !contains(text.html, leaveTag)) continue;
        if (event.isPrivate) {
            // Of a private entry only its being leave is shown; other kinds stay private.
            if (kind != NoteKind::Leave) continue;
            text = calendarText(std::string(PrivateText));
        }
        status.notes.push_back({std::move(text), kind});
    }
    status.state = stateOf(status);
    if (status.state == PersonState::Free) status.freeUntil = nextMeetingToday(day, now);
    return status;
}

}  // namespace quorvane
