#include "pages/StatusCell.h"

#include <cstdio>

#include "board/BoardConstants.h"
#include "pages/PagesConstants.h"
#include "text/Text.h"

namespace quorvane {

namespace {

std::string untilText(const MeetingStatus& meeting)
{
    if (!meeting.showsUntil) return {};
    return std::string(UntilText) +
           dateTimeToText(meeting.endsLaterDay ? UntilLaterDayPattern : UntilPattern, localOfInstant(meeting.end));
}

std::string hiddenMeetingText(const MeetingStatus& meeting)
{
    std::string text(HiddenMeetingText);
    if (meeting.showsUntil) text.append(UntilText).append(localHourMinute(meeting.end));
    return text;
}

void appendNote(std::string& html, std::string_view text)
{
    html.append(html.empty() ? NoteOpen : NoteOpenAfter).append(text).append(SmallClose);
}

// A person's own words stay on the board with titles hidden too (they chose them for it), with
// their end as a meeting's: "hh:nn" today, "dd/mm hh:nn" on a later day.
std::string selfNoteHtml(const NoteStatus& note, Instant now)
{
    std::string text = note.text.html;
    if (note.end)
        text.append(UntilText).append(dateTimeToText(sameLocalDay(*note.end, now) ? UntilPattern : UntilLaterDayPattern,
                                                     localOfInstant(*note.end)));
    return text;
}

}  // namespace

std::string classicStatusHtml(const PersonStatus& status, Instant now)
{
    std::string html;
    for (const MeetingStatus& meeting : status.meetings) {
        if (html.empty()) {
            html = meeting.description.html + untilText(meeting);
        } else {
            html.append(AlsoOpen).append(meeting.description.html).append(untilText(meeting)).append(SmallClose);
        }
        // After every meeting, over the whole status (the "<br>" of "Also:" included), as the day
        // views' composition has always done.
        html = textReplace(html, LineBreak, LineBreakReplacement, ReplaceAll | IgnoreCase);
        html = textReplace(html, CommaBeforeParen, BlankBeforeParen, ReplaceAll);
    }
    for (const NoteStatus& note : status.notes)
        appendNote(html, note.kind == NoteKind::Self ? selfNoteHtml(note, now) : note.text.html);
    return html;
}

std::string hiddenStatusHtml(const PersonStatus& status, Instant now)
{
    std::string html;
    for (const MeetingStatus& meeting : status.meetings) {
        if (html.empty())
            html = hiddenMeetingText(meeting);
        else
            html.append(AlsoOpen).append(hiddenMeetingText(meeting)).append(SmallClose);
    }
    for (const NoteStatus& note : status.notes)
        appendNote(html, note.kind == NoteKind::Self ? selfNoteHtml(note, now) : std::string(noteKindLabel(note.kind)));
    return html;
}

std::string_view noteKindLabel(NoteKind kind)
{
    switch (kind) {
    case NoteKind::Leave: return "On leave";
    case NoteKind::Holiday: return "Holiday";
    case NoteKind::Shift: return "Shift";
    case NoteKind::Late: return "Late start";
    case NoteKind::Early: return "Early finish";
    case NoteKind::Working: return "Working elsewhere";
    case NoteKind::Self: return "Own status";
    case NoteKind::Other: break;
    }
    return "Note";
}

std::string localHourMinute(Instant instant)
{
    const LocalParts parts = localParts(instant);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", parts.hour, parts.minute);
    return text;
}

}  // namespace quorvane
