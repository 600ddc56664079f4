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
        out.append(",\"until\":").append(meeting.showsUntil ? "true" : "false").append("}");
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

std::string_view personStateName(PersonState state) {
    switch (state) {
        case PersonState::Meeting: return "meeting";
        case PersonState::Leave: return "leave";
        case PersonState::Note: return "note";
        case PersonState::Free: return "free";
        case PersonState::Unknown: break;
    }
    return "unknown";
}

std::string_view noteKindName(NoteKind kind) {
    switch (kind) {
        case NoteKind::Leave: return "leave";
        case NoteKind::Holiday: return "holiday";
        case NoteKind::Shift: return "shift";
        case NoteKind::Late: return "late";
        case NoteKind::Early: return "early";
        case NoteKind::Other: break;
    }
    return "other";
}

std::string_view noteKindLabel(NoteKind kind) {
    switch (kind) {
        case NoteKind::Leave: return "On leave";
        case NoteKind::Holiday: return "Holiday";
        case NoteKind::Shift: return "Shift";
        case NoteKind::Late: return "Late start";
        case NoteKind::Early: return "Early finish";
        case NoteKind::Other: break;
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
