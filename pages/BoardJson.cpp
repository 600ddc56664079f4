#include "pages/BoardJson.h"

#include <cstdio>
#include <ctime>

#include "pages/JsonText.h"
#include "pages/PagesConstants.h"
#include "pages/StatusCell.h"

namespace quorvane {

namespace {

void appendTime(std::string& out, const std::optional<Instant>& instant)
{
    if (instant)
        appendJsonString(out, isoLocalTime(*instant));
    else
        out.append("null");
}

// The failure without the "NAME: " some sources put in front of it for the log.
std::string_view failureReason(const PersonRow& person)
{
    std::string_view reason = person.failure;
    if (reason.size() > person.name.size() + 2 && reason.substr(0, person.name.size()) == person.name &&
        reason.substr(person.name.size(), 2) == ": ")
        reason.remove_prefix(person.name.size() + 2);
    return reason;
}

// What the wall page says beside a status, each only when there is something to say so that other
// rows keep their bytes: a free person's next meeting today; for a row whose last fetch failed,
// when the data shown was read ("asOf"), or why it has never been read ("reason").
void appendRowExtras(std::string& out, const PersonRow& person)
{
    if (person.status.freeUntil) {
        out.append(",\"freeUntil\":");
        appendJsonString(out, isoLocalTime(*person.status.freeUntil));
    }
    if (person.failure.empty()) return;
    if (person.fetchedAt) {
        out.append(",\"asOf\":");
        appendJsonString(out, isoLocalTime(*person.fetchedAt));
    } else {
        out.append(",\"reason\":");
        appendJsonString(out, failureReason(person));
    }
}

// A note's kind as the JSON names it: with people's own statuses on, where the calendar says
// they work is the same kind of news, and is named so.
std::string_view jsonNoteKind(NoteKind kind, bool selfStatus)
{
    return selfStatus && kind == NoteKind::Working ? noteKindName(NoteKind::Self) : noteKindName(kind);
}

void appendPerson(std::string& out, const PersonRow& person, bool hideTitles, bool selfStatus, Instant now)
{
    out.append("{\"name\":");
    appendJsonString(out, person.name);
    out.append(",\"state\":");
    appendJsonString(out, personStateName(person.status.state));
    out.append(",\"meetings\":[");
    for (std::size_t i = 0; i < person.status.meetings.size(); ++i) {
        const MeetingStatus& meeting = person.status.meetings[i];
        if (i) out.push_back(',');
        out.append("{\"description\":");
        appendJsonString(out, hideTitles ? HiddenMeetingText : std::string_view(meeting.description.plain));
        out.append(",\"end\":");
        appendJsonString(out, isoLocalTime(meeting.end));
        out.append(",\"until\":").append(meeting.showsUntil ? "true" : "false");
        if (meeting.tentative) out.append(",\"tentative\":true");  // only when so: other rows keep their bytes
        if (meeting.isPrivate && !hideTitles) out.append(",\"private\":true");  // the page says "Private" in its language
        out.append("}");
    }
    out.append("],\"notes\":[");
    for (std::size_t i = 0; i < person.status.notes.size(); ++i) {
        const NoteStatus& note = person.status.notes[i];
        if (i) out.push_back(',');
        out.append("{\"text\":");
        // A person's own words are shown with titles hidden too: they chose them for the board.
        const bool label = hideTitles && note.kind != NoteKind::Self;
        appendJsonString(out, label ? noteKindLabel(note.kind) : std::string_view(note.text.plain));
        out.append(",\"kind\":");
        const std::string_view kind = jsonNoteKind(note.kind, selfStatus);
        appendJsonString(out, kind);
        if (kind == noteKindName(NoteKind::Self)) {  // only self notes: other rows keep their bytes
            out.append(",\"end\":");
            appendTime(out, note.end);
        }
        out.append("}");
    }
    out.append("],\"statusHtml\":");
    appendJsonString(out, statusHtml(person.status, hideTitles, now));
    appendRowExtras(out, person);
    out.append("}");
}

}  // namespace

std::string isoLocalTime(Instant instant)
{
    const std::time_t time = static_cast<std::time_t>(unixSeconds(instant));
    std::tm parts{};
    localtime_r(&time, &parts);
    const long offset = parts.tm_gmtoff / 60;
    const long magnitude = offset < 0 ? -offset : offset;
    char out[64];
    std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, offset < 0 ? '-' : '+',
                  magnitude / 60, magnitude % 60);
    return out;
}

std::string_view personStateName(PersonState state)
{
    switch (state) {
    case PersonState::Meeting: return "meeting";
    case PersonState::Leave: return "leave";
    case PersonState::Note: return "note";
    case PersonState::Free: return "free";
    case PersonState::Unknown: break;
    }
    return "unknown";
}

std::string_view noteKindName(NoteKind kind)
{
    switch (kind) {
    case NoteKind::Leave: return "leave";
    case NoteKind::Holiday: return "holiday";
    case NoteKind::Shift: return "shift";
    case NoteKind::Late: return "late";
    case NoteKind::Early: return "early";
    case NoteKind::Working: return "working";
    case NoteKind::Self: return "self";
    case NoteKind::Other: break;
    }
    return "other";
}

std::string buildBoardJson(const BoardSnapshot& snapshot, bool hideTitles, Instant generated, bool selfStatus)
{
    // Written by hand rather than through QJsonDocument: the document measured three to four times
    // this writer's cost, over a third of a /board.json request's CPU (bench/WallDataBench.cpp).
    std::string out = "{\"generated\":";
    appendJsonString(out, isoLocalTime(generated));
    out.append(",\"dataTime\":");
    appendTime(out, snapshot.dataTime);
    out.append(",\"lastGrabOk\":").append(snapshot.lastGrabOk ? "true" : "false");
    out.append(",\"lastGrabTime\":");
    appendTime(out, snapshot.lastGrabTime);
    out.append(",\"hideTitles\":").append(hideTitles ? "true" : "false");
    out.append(",\"people\":[");
    for (std::size_t i = 0; i < snapshot.people.size(); ++i) {
        if (i) out.push_back(',');
        appendPerson(out, snapshot.people[i], hideTitles, selfStatus, snapshot.effectiveNow);
    }
    out.append("]}\n");
    return out;
}

}  // namespace quorvane
