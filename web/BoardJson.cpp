#include "web/BoardJson.h"

#include "web/JsonText.h"
#include "web/LocalTime.h"
#include "web/WebConstants.h"

namespace {

void appendTime(std::string& out, const std::optional<std::int64_t>& unixSeconds) {
    if (unixSeconds)
        appendJsonString(out, isoLocalTime(*unixSeconds));
    else
        out.append("null");
}

std::string hiddenMeetingText(const MeetingView& meeting) {
    std::string text(HiddenMeetingText);
    if (meeting.showsUntil) text.append(UntilWord).append(localHourMinute(meeting.endUnix));
    return text;
}

void appendPerson(std::string& out, const PersonView& person, bool hideTitles) {
    out.append("{\"name\":");
    appendJsonString(out, person.name);
    out.append(",\"state\":");
    appendJsonString(out, personStateName(person.state));
    out.append(",\"meetings\":[");
    for (std::size_t i = 0; i < person.meetings.size(); ++i) {
        const MeetingView& meeting = person.meetings[i];
        if (i) out.push_back(',');
        out.append("{\"description\":");
        appendJsonString(out, hideTitles ? std::string(HiddenMeetingText) : meeting.description);
        out.append(",\"end\":");
        appendJsonString(out, isoLocalTime(meeting.endUnix));
        out.append(",\"until\":").append(meeting.showsUntil ? "true" : "false");
        if (meeting.tentative) out.append(",\"tentative\":true");
        out.append("}");
    }
    out.append("],\"notes\":[");
    for (std::size_t i = 0; i < person.notes.size(); ++i) {
        const NoteView& note = person.notes[i];
        if (i) out.push_back(',');
        out.append("{\"text\":");
        appendJsonString(out, hideTitles ? noteKindLabel(note.kind) : std::string_view(note.text));
        out.append(",\"kind\":");
        appendJsonString(out, noteKindName(note.kind));
        out.append("}");
    }
    out.append("],\"statusHtml\":");
    appendJsonString(out, hideTitles ? hiddenStatusHtml(person) : person.statusHtml);
    out.append("}");
}

}  // namespace

std::string_view personStateName(ViewState state) {
    switch (state) {
        case ViewState::Meeting: return "meeting";
        case ViewState::Leave: return "leave";
        case ViewState::Note: return "note";
        case ViewState::Free: return "free";
        case ViewState::Unknown: break;
    }
    return "unknown";
}

std::string_view noteKindName(ViewNoteKind kind) {
    switch (kind) {
        case ViewNoteKind::Leave: return "leave";
        case ViewNoteKind::Holiday: return "holiday";
        case ViewNoteKind::Shift: return "shift";
        case ViewNoteKind::Late: return "late";
        case ViewNoteKind::Early: return "early";
        case ViewNoteKind::Working: return "working";
        case ViewNoteKind::Other: break;
    }
    return "other";
}

std::string_view noteKindLabel(ViewNoteKind kind) {
    switch (kind) {
        case ViewNoteKind::Leave: return "On leave";
        case ViewNoteKind::Holiday: return "Holiday";
        case ViewNoteKind::Shift: return "Shift";
        case ViewNoteKind::Late: return "Late start";
        case ViewNoteKind::Early: return "Early finish";
        case ViewNoteKind::Working: return "Working elsewhere";
        case ViewNoteKind::Other: break;
    }
    return "Note";
}

std::string hiddenStatusHtml(const PersonView& person) {
    std::string status;
    for (const MeetingView& meeting : person.meetings) {
        if (status.empty())
            status = hiddenMeetingText(meeting);
        else
            status.append(AlsoOpenHtml).append(hiddenMeetingText(meeting)).append(SmallCloseHtml);
    }
    for (const NoteView& note : person.notes)
        status.append(status.empty() ? NoteOpenHtml : NoteAfterOpenHtml).append(noteKindLabel(note.kind)).append(SmallCloseHtml);
    return status;
}

std::string buildBoardJson(const BoardSnapshotData& snapshot, const BoardJsonOptions& options) {
    std::string out = "{\"generated\":";
    appendJsonString(out, isoLocalTime(options.nowUnix));
    out.append(",\"dataTime\":");
    appendTime(out, snapshot.dataTimeUnix);
    out.append(",\"lastGrabOk\":").append(snapshot.lastGrabOk ? "true" : "false");
    out.append(",\"lastGrabTime\":");
    appendTime(out, snapshot.lastGrabTimeUnix);
    out.append(",\"hideTitles\":").append(options.hideTitles ? "true" : "false");
    out.append(",\"people\":[");
    for (std::size_t i = 0; i < snapshot.people.size(); ++i) {
        if (i) out.push_back(',');
        appendPerson(out, snapshot.people[i], options.hideTitles);
    }
    out.append("]}\n");
    return out;
}
