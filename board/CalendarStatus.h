#pragma once
// A person's status at nowTime composed from a day of their iCalendar calendar, by the same
// rules and texts as the web calendar's day views (see DayPageParser.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/CalendarDay.h"
#include "text/DateTime.h"
#include "log/LogWriter.h"

struct CalendarNote {
    std::size_t dayEvent = 0;  // index into CalendarDay::dayEvents
    std::string text;          // the note as shown, HTML-escaped
    bool leave = false;        // a leave entry (the word "leave" or out of office)
};

struct CalendarStatus {
    std::string html;                     // the board's status cell
    std::vector<std::size_t> inProgress;  // indices into CalendarDay::meetings, in status order
    std::vector<CalendarNote> notes;      // the day events admitted as notes
};

// Composes the status at nowTime and logs "Result: Meetings: n, Day Events: m" with a dot per
// item, as a day-view parse does. An empty leaveTag means the calendar is the person's own:
// every leave entry in it is theirs.
CalendarStatus composeCalendarStatus(const CalendarDay& day, DateTime nowTime, const std::string& leaveTag,
                                     LogWriter& log);
