#pragma once
// A person's status at an instant composed from a day of their iCalendar calendar, by the same
// rules as the web calendar's day views (see DayPageParser.h).
#include <string>

#include "board/AbsenceWords.h"
#include "board/PersonStatus.h"
#include "calendar/CalendarDay.h"
#include "log/LogWriter.h"
#include "text/Instant.h"

namespace quorvane {

// Composes the status at now and logs "Result: Meetings: n, Day Events: m" with a dot per item,
// as a day-view read does. An empty leaveTag means the calendar is the person's own: every leave
// entry in it is theirs, and every all-day entry that blocks time is a note (an entry saying the
// person is away, by words, leave; working from home, by words, a working note), so that such a
// day never reads free. A shared calendar (leaveTag set) and entries that do not block time keep
// the day views' rules. When free, freeUntil is the start of the next meeting that blocks time
// later the same day.
PersonStatus composeCalendarStatus(const CalendarDay& day, Instant now, const std::string& leaveTag, LogWriter& log,
                                   const AbsenceWords& words = *AbsenceWords::builtIn());

}  // namespace quorvane
