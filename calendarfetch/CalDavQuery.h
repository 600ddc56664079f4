#pragma once
// The CalDAV side of a fetch: the calendar-query asking for one local day's events, and the
// reading of the server's multi-status answer.
#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include <string>
#include <vector>

struct DayRange {
    QDateTime start;  // local 00:00 of the day, in UTC
    QDateTime end;    // local 00:00 of the next day, in UTC
};

// The local day (the machine's zone, TZ respected) as UTC instants; a day with a daylight-saving
// change is 23 or 25 hours long.
DayRange localDayRange(QDate day);
// "yyyymmddThhmmssZ", the UTC form CalDAV time ranges take.
QByteArray calDavUtcText(const QDateTime& instant);

// The REPORT body: a calendar-query for VEVENTs of VCALENDARs overlapping the range, asking for
// their calendar-data.
QByteArray calendarQueryBody(const DayRange& range);

struct MultiStatus {
    bool ok = false;
    std::string error;                   // one line, when not ok
    std::vector<std::string> calendars;  // the calendar-data text of every item, in answer order
};

// Reads a 207 answer (namespaces DAV: and CalDAV). Only the calendar-data of a propstat whose
// status is 200 is taken; items with another status are left out. A control byte XML forbids
// (a NUL copied from an event's text) does not make the answer unreadable: it comes back as a NUL
// byte in that item's data, for the iCalendar reader to skip that event. Not ok when the body is
// not well-formed XML or not a DAV multistatus.
MultiStatus parseMultiStatus(const QByteArray& body);
