#pragma once
// Placing a service's entries into one local day, shared by both mappings: timed entries by
// their instants, all-day entries by their dates alone (never by instants shifted through a
// zone, which moves them to the day before or after).
#include <QDate>
#include <QDateTime>

#include "cloud/CloudDay.h"

// Adds a timed entry when it overlaps the day (one of no length when it starts within it).
void placeMeeting(CalendarMeeting meeting, const QDateTime& start, const QDateTime& end, const DayWindow& window,
                  CalendarDay& day);
// Whether an all-day entry from first up to endExclusive covers the day; an end not after the
// first date is read as a one-day entry.
bool coversDay(QDate first, QDate endExclusive, QDate day);
// The meetings by start, then end, then summary, as the iCalendar reader orders them.
void orderMeetings(CalendarDay& day);
