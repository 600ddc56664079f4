#include "calendar/CalendarReader.h"

#include "calendar/ParsedCalendar.h"

namespace quorvane {

CalendarDay readCalendarDay(std::string_view icsText, int year, int month, int day)
{
    return ParsedCalendar::parse(icsText).expandDay(year, month, day);
}

CalendarDay readCalendarDay(const std::vector<std::string>& calendars, int year, int month, int day)
{
    return ParsedCalendar::parse(calendars).expandDay(year, month, day);
}

}  // namespace quorvane
