#pragma once
// Reads a person's day view: counts the numbered meeting and day-event markers, cuts each block
// out, and composes the person's status at an instant from the meetings in progress and the
// presence notes.
#include <string>
#include <string_view>

#include "board/PersonStatus.h"
#include "log/LogWriter.h"
#include "text/Instant.h"

namespace quorvane {

// From the 1-based position of a block's marker in the page up to and including the first
// "</FONT>" after it, gathered a character at a time. RangeError when the page ends before the
// closing tag.
std::string collectBlockAt(std::string_view page, int position);

// The whole read of one page: logs the two counts and a dot per item, then reads the meetings and
// the day events in number order. A meeting time that does not read raises ConvertError, a block
// that does not close RangeError. The day view's times are local wall times of the day of now.
PersonStatus readDayPage(const std::string& page, Instant now, const std::string& leaveTag, LogWriter& log);

}  // namespace quorvane
