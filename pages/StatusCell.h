#pragma once
// A person's status as the classic page's cell shows it, from their status record.
#include <string>
#include <string_view>

#include "board/PersonStatus.h"

namespace quorvane {

// The cell as the day views have always composed it: the first meeting in progress with
// " until hh:nn" (or "dd/mm hh:nn" when it ends on a later day), the further ones as "Also:"
// entries, each "<BR>" of the meetings as ", ", then the notes. Empty when there is nothing to say.
// A person's own status is a note with its end ("until hh:nn", or "dd/mm hh:nn" on a later day
// than now).
std::string classicStatusHtml(const PersonStatus& status, Instant now = {});
// The same with titles hidden: "In a meeting until hh:nn" and "Note: <kind>"; a person's own
// status as on the classic cell.
std::string hiddenStatusHtml(const PersonStatus& status, Instant now = {});
// The cell in the form the board shows.
inline std::string statusHtml(const PersonStatus& status, bool hideTitles, Instant now = {})
{
    return hideTitles ? hiddenStatusHtml(status, now) : classicStatusHtml(status, now);
}
// What a note of a kind says when titles are hidden.
std::string_view noteKindLabel(NoteKind kind);
// "hh:mm" of an instant on the local clock.
std::string localHourMinute(Instant instant);

}  // namespace quorvane
