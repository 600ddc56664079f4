#include "cloud/EventPlacement.h"

#include <algorithm>
#include <tuple>

void placeMeeting(CalendarMeeting meeting, const QDateTime& start, const QDateTime& end, const DayWindow& window,
                  CalendarDay& day) {
    const QDateTime finish = end < start ? start : end;
    const bool overlaps = start < window.end && (finish > window.start || (finish == start && start >= window.start));
    if (!overlaps) return;
    meeting.start = start.toSecsSinceEpoch();
    meeting.end = finish.toSecsSinceEpoch();
    day.meetings.push_back(std::move(meeting));
}

bool coversDay(QDate first, QDate endExclusive, QDate day) {
    if (!first.isValid()) return false;
    if (!endExclusive.isValid() || endExclusive <= first) endExclusive = first.addDays(1);
    return first <= day && day < endExclusive;
}

void orderMeetings(CalendarDay& day) {
    std::stable_sort(day.meetings.begin(), day.meetings.end(), [](const CalendarMeeting& a, const CalendarMeeting& b) {
        return std::tie(a.start, a.end, a.summary) < std::tie(b.start, b.end, b.summary);
    });
}
