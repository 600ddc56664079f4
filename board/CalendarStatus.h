#pragma once
// A person's status at an instant composed from a day of their iCalendar calendar, by the same
// rules as the web calendar's day views (see DayPageParser.h).
#include <string>

#include "board/PersonStatus.h"
#include "calendar/CalendarDay.h"
#include "log/LogWriter.h"
#include "text/Instant.h"

namespace quorvane {

// Composes the status at now and logs "Result: Meetings: n, Day Events: m" with a dot per item,
// as a day-view read does. An empty leaveTag means the calendar is the person's own: every leave
// entry in it is theirs.
PersonStatus composeCalendarStatus(const CalendarDay& day, Instant now, const std::string& leaveTag, LogWriter& log);

}  // namespace quorvane
