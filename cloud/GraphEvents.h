#pragma once
// Microsoft Graph calendarView events (asked with times in UTC) read into one local day.
#include <QJsonArray>

#include "cloud/CloudDay.h"

namespace quorvane {

// Cancelled and free entries and those the person declined are left out; tentative ones are meetings marked tentative; "oof"
// is leave (all-day: an out-of-office day event; timed: a meeting flagged out of office);
// "workingElsewhere" is a note "Working elsewhere (LOCATION)"; private and confidential entries
// are private; all-day entries are placed by their dates. An entry without a readable start is
// passed over with a warning.
CalendarDay graphCalendarDay(const QJsonArray& events, const DayWindow& window);

}  // namespace quorvane
