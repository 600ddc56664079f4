#pragma once
// The board's data as the wall page shows it: plain values, filled by the board from its parse.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a person's row says at a glance.
enum class ViewState { Meeting, Leave, Note, Free, Unknown };

// The kind of an admitted day note; it is also what is shown when titles are hidden.
// Working: where the person works today (working elsewhere, from home, an office).
enum class ViewNoteKind { Leave, Holiday, Shift, Late, Early, Other, Working };

// A meeting in progress. Times are instants in seconds since 1970-01-01 UTC.
struct MeetingView {
    std::string description;    // plain text (no markup, entities decoded)
    std::int64_t endUnix = 0;
    bool showsUntil = true;     // false where the board shows no " until " (shifts, leave...)
    bool tentative = false;     // accepted only tentatively (output only when true)
};

struct NoteView {
    std::string text;           // plain text
    ViewNoteKind kind = ViewNoteKind::Other;
};

struct PersonView {
    std::string name;
    ViewState state = ViewState::Unknown;
    std::vector<MeetingView> meetings;   // in progress now, in the order the board lists them
    std::vector<NoteView> notes;
    std::string statusHtml;              // the status fragment of the classic page
};

struct BoardSnapshotData {
    std::optional<std::int64_t> dataTimeUnix;      // when the last grab began; none before the first
    bool lastGrabOk = false;
    std::optional<std::int64_t> lastGrabTimeUnix;  // when the last grab ended, ok or not
    std::vector<PersonView> people;
};
