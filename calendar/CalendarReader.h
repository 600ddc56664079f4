#pragma once
// One-call reading of iCalendar text into a local day. The board keeps a ParsedCalendar per
// person instead, so that each refresh does not read the text again.
#include <string>
#include <string_view>
#include <vector>

#include "calendar/CalendarDay.h"

namespace quorvane {

// The meetings and day events of the local date in icsText (one or more VCALENDARs).
// CalendarError when the text is not iCalendar data or cannot be read.
CalendarDay readCalendarDay(std::string_view icsText, int year, int month, int day);
// The same over several texts read as one calendar (a CalDAV multi-status, one per event).
CalendarDay readCalendarDay(const std::vector<std::string>& calendars, int year, int month, int day);

}  // namespace quorvane
