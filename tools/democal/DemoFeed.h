#pragma once
// A person's day as an iCalendar feed: the same meetings and day events as their day view, for
// boards that read calendars by address instead of by scraping day views.
#include <optional>
#include <string>
#include <string_view>

#include "tools/democal/DemoDate.h"
#include "tools/democal/DemoDayView.h"
#include "tools/democal/DemoPeople.h"

namespace quorvane {

// The item id of a feed path "/ics/<item id>.ics", or nullopt for any other path.
std::optional<std::string> feedItemId(std::string_view path);

// The VCALENDAR: meetings as timed events in floating (local) time, day events as all-day
// events of that date. lines end in CRLF, text is escaped and long lines folded.
std::string renderDayFeed(const DemoPerson& person, const DemoDate& date, const DemoDayPlan& plan);

}  // namespace quorvane
