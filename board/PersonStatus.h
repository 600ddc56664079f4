#pragma once
// One person's status at an instant, composed once by the calendar source that reads them: the
// meetings in progress, the notes admitted and the state they add up to. Every page renders from
// this record (the classic page's markup, the wall page's JSON, hidden titles); nothing is
// written as markup and read back.
#include <optional>
#include <string>
#include <vector>

#include "text/Instant.h"

namespace quorvane {

// What a person's row says at a glance.
enum class PersonState { Meeting, Leave, Note, Free, Unknown };

// The kind of an admitted note; it is also what is shown when titles are hidden.
// Working: where the person works today (elsewhere, from home, an office), from a calendar
// service's working-location entries.
// Self: what the person said of themselves through their own link (or the operator for them);
// their own words, shown even when titles are hidden.
enum class NoteKind { Leave, Holiday, Shift, Late, Early, Other, Working, Self };

// A calendar's text in the two forms the pages need: markup for the classic page (a day view's
// description as the calendar wrote it; a calendar address's text escaped) and plain text (no
// markup, character references decoded) for everything else.
struct CalendarText {
    std::string html;
    std::string plain;
};

// A meeting in progress.
struct MeetingStatus {
    CalendarText description;   // the title (and location), or "Private"
    Instant end{};
    bool showsUntil = true;     // false for shifts, leave, holiday, "(x)": no " until "
    bool endsLaterDay = false;  // the " until " shows the end's date too
    bool tentative = false;
    bool isPrivate = false;
};

// A day event admitted as a note (leave, holiday, shift, late start, early finish...).
struct NoteStatus {
    CalendarText text;
    NoteKind kind = NoteKind::Other;
    std::optional<Instant> end{};  // a Self note's end; none: until cleared (and for every other kind)
};

struct PersonStatus {
    PersonState state = PersonState::Unknown;
    std::vector<MeetingStatus> meetings;  // in the order the board lists them
    std::vector<NoteStatus> notes;
    // When free: the start of the next meeting today, from sources that read the whole day
    // (calendar addresses, the cloud services); none when unknown or when nothing follows.
    std::optional<Instant> freeUntil;
};

}  // namespace quorvane
