#pragma once
// Google Calendar API events (singleEvents, ordered by start) read into one local day.
#include <QJsonArray>

#include "cloud/CloudDay.h"

// Cancelled and transparent entries and those the person declined are left out; private and
// confidential ones are private; outOfOffice is leave (all-day: an out-of-office day event;
// timed: a meeting flagged out of office); workingLocation is a note ("Working from home",
// "Office: LABEL", or a custom location's label) whether or not it blocks time; focusTime and
// every other entry is a meeting, tentative when the person or the event says so; all-day
// entries are placed by their dates. An entry without a readable start is passed over with a
// warning.
CalendarDay googleCalendarDay(const QJsonArray& events, const DayWindow& window);
