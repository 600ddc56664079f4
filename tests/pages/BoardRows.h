#pragma once
// Board rows written compactly for the page tests: a meeting, a note and a person as the
// sources record them, the classic markup and the plain text alike.
#include <string>
#include <vector>

#include "board/BoardSnapshot.h"

namespace quorvane {

inline MeetingStatus meeting(const std::string& text, std::int64_t endUnix, bool until = true)
{
    MeetingStatus m;
    m.description = {text, text};
    m.end = instantOfUnix(endUnix);
    m.showsUntil = until;
    return m;
}

inline NoteStatus note(const std::string& text, NoteKind kind) { return {{text, text}, kind}; }

inline PersonRow person(const std::string& name, PersonState state, std::vector<MeetingStatus> meetings = {},
                        std::vector<NoteStatus> notes = {})
{
    PersonRow row;
    row.name = name;
    row.status = {state, std::move(meetings), std::move(notes), {}};
    return row;
}

}  // namespace quorvane
