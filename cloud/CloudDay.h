#pragma once
// A person's day as the cloud clients hand it over, and the local day they ask for.
#include <QDate>
#include <QDateTime>

#include <string>

#include "calendar/CalendarDay.h"

// The local day (the machine's zone, TZ respected) as UTC instants; a day with a daylight-saving
// change is 23 or 25 hours long.
struct DayWindow {
    QDate day;
    QDateTime start;  // local 00:00 of the day, in UTC
    QDateTime end;    // local 00:00 of the next day, in UTC
};
DayWindow localDayWindow(QDate day);

// Either the person's day or the one-line reason it could not be read.
struct CloudDayResult {
    bool ok = false;
    CalendarDay day;
    std::string failure;
};
