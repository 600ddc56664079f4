#pragma once
// The pieces a source composes a person's status from: the plain form of a calendar's markup,
// the keyword rules, and the state the meetings and notes add up to.
#include <string>

#include "board/PersonStatus.h"

namespace quorvane {

// Plain text of a day view's markup: "<BR>" as ", ", other tags dropped, character references
// decoded.
std::string plainText(const std::string& html);
// Whether a description takes no " until " (shifts, leave, holiday, "(x)").
bool hasNoSuffixKeyword(const std::string& description);
// The kind of an admitted note, from its words.
NoteKind noteKindOf(const std::string& text, bool outOfOffice = false);
// The state of a person whose calendar was read: in a meeting, on leave, with notes, or free.
PersonState stateOf(const PersonStatus& status);

}  // namespace quorvane
