#pragma once
// What a person's status is made of, kept beside the composed text for the wall page: the
// meetings in progress and the notes admitted, as plain text, and the state they add up to.
#include <string>

#include "text/DateTime.h"
#include "web/BoardSnapshotData.h"

// Plain text of a status piece: "<BR>" as ", ", other tags dropped, character references decoded.
std::string plainText(const std::string& html);
// Whether a description takes no " until " (shifts, leave, holiday, "(x)").
bool hasNoSuffixKeyword(const std::string& description);
// The kind of an admitted note, from its words.
NoteKind noteKindOf(const std::string& text, bool outOfOffice = false);
// A meeting in progress, as the wall page lists it.
MeetingView meetingView(const std::string& descriptionHtml, DateTime localEnd, bool showsUntil);
// The state of a person: unknown when nothing was ever read for them.
PersonState stateOf(const PersonView& person, bool everRead);
