// Expansion of the stored events into one local day: recurrence through libical's rule
// iterator positioned at the day, RDATE, EXDATE and RECURRENCE-ID overrides, within a budget of
// rule steps per day and a cap on what the day keeps.
#include <algorithm>
#include <ctime>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "calendar/CalendarConstants.h"
#include "calendar/LocalTime.h"
#include "calendar/ParsedCalendar.h"
#include "calendar/RecurrenceGuard.h"
#include "calendar/ZoneResolver.h"

namespace quorvane {

namespace {

struct DayWindow {
    std::int64_t dayStart = 0, dayEnd = 0;  // Unix seconds of the local midnights
    std::int64_t dayNumber = 0;             // the date asked, as a civil day number
};

std::int64_t dayNumberOf(const icaltimetype& t)
{
    return civilDayNumber(t.year, t.month, t.day);
}

// The wall clock of an instant in zone (local when zone is null), zone field cleared.
icaltimetype wallAt(std::int64_t instant, icaltimezone* zone)
{
    icaltimetype wall;
    if (zone != nullptr) {
        wall = icaltime_from_timet_with_zone(static_cast<time_t>(instant), 0, zone);
    } else {
        const time_t t = static_cast<time_t>(instant);
        std::tm parts{};
        localtime_r(&t, &parts);
        wall = icaltime_null_time();
        wall.year = parts.tm_year + 1900;
        wall.month = parts.tm_mon + 1;
        wall.day = parts.tm_mday;
        wall.hour = parts.tm_hour;
        wall.minute = parts.tm_min;
        wall.second = parts.tm_sec;
    }
    wall.zone = nullptr;
    return wall;
}

icaltimetype dateOf(std::int64_t dayNumber)
{
    const CivilDate date = civilFromDayNumber(dayNumber);
    icaltimetype t = icaltime_null_date();
    t.year = date.year;
    t.month = date.month;
    t.day = date.day;
    return t;
}

// An occurrence's identity: its instant for timed series, its date for all-day ones.
std::int64_t occurrenceKey(const CalendarTime& time, bool allDay)
{
    return allDay ? dayNumberOf(time.wall) : calendarInstant(time);
}

// The occurrences an EXDATE or a RECURRENCE-ID names: a date names every occurrence on that
// date of the series' own clock, a date-time the one at that instant.
class OccurrenceMarks {
public:
    OccurrenceMarks(bool allDay) : allDay_(allDay) {}
    void add(const CalendarTime& marker)
    {
        if (allDay_ || marker.isDate()) {
            days_.insert(dayNumberOf(marker.wall));
        } else {
            instants_.insert(calendarInstant(marker));
        }
    }
    bool names(const CalendarTime& occurrence, std::int64_t key) const
    {
        return days_.count(dayNumberOf(occurrence.wall)) != 0 || (!allDay_ && instants_.count(key) != 0);
    }

private:
    bool allDay_;
    std::unordered_set<std::int64_t> days_, instants_;
};

class DayBuilder {
public:
    DayBuilder(const DayWindow& window, CalendarDay& out, WarningList& warnings)
        : window_(window), out_(out), warnings_(warnings)
    {
    }

    // Adds one occurrence of event starting at start when it falls on the day.
    void add(const StoredEvent& event, const CalendarTime& start)
    {
        if (event.cancelled) return;
        if (event.start.isDate() || start.isDate()) {
            const std::int64_t first = dayNumberOf(start.wall);
            if (first <= window_.dayNumber && window_.dayNumber < first + event.length) {
                out_.dayEvents.push_back(
                    {event.summary, event.outOfOffice, event.isPrivate, event.workingElsewhere, event.transparent});
            }
            return;
        }
        if (event.transparent) return;
        const std::int64_t begin = calendarInstant(start);
        const std::int64_t end = begin + event.length;
        // A meeting without length belongs to the day its start falls on.
        const bool overlaps = end > begin ? begin < window_.dayEnd && end > window_.dayStart
                                          : begin >= window_.dayStart && begin < window_.dayEnd;
        if (overlaps)
            out_.meetings.push_back({event.summary, event.location, begin, end, event.isPrivate, false,
                                     event.outOfOffice, event.workingElsewhere});
    }

    // The starts the series' rules give near the day, wall clock of the series' zone.
    void ruleStarts(const StoredEvent& event, std::vector<CalendarTime>& starts)
    {
        const bool allDay = event.start.isDate();
        icaltimetype low, high;
        // The dates on the series' clock an occurrence overlapping the day can start on.
        std::int64_t firstDay, lastDay;
        if (allDay) {
            low = dateOf(window_.dayNumber - event.length - 1);
            high = dateOf(window_.dayNumber + 1);
            firstDay = window_.dayNumber - event.length + 1;
            lastDay = window_.dayNumber;
        } else {
            low = wallAt(window_.dayStart - event.length - ZoneSlackSeconds, event.start.zone);
            high = wallAt(window_.dayEnd + ZoneSlackSeconds, event.start.zone);
            firstDay = dayNumberOf(wallAt(window_.dayStart - event.length, event.start.zone));
            lastDay = dayNumberOf(wallAt(window_.dayEnd, event.start.zone));
        }
        for (const std::string& text : event.series->rules) {
            if (stepsLeft_ <= IteratorSetupSteps) {
                warnings_.add(std::string(DayBudgetText));
                return;
            }
            icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
            if (rule.freq == ICAL_NO_RECURRENCE) {
                warnings_.add(std::string(RuleUnsupportedText) + text);
                continue;
            }
            const std::string refusal = recurrenceRefusal(rule);
            if (!refusal.empty()) {
                warnings_.add(refusal);
                continue;
            }
            if (!ruleMayFallOn(rule, event.start.wall, firstDay, lastDay)) continue;
            if (rule.count == 0) {
                // The end of the series, read on the series' own clock, and never past the day:
                // libical stops its search there instead of at its last year.
                icaltimetype until = rule.until;
                if (!icaltime_is_null_time(until) && !until.is_date && icaltime_is_utc(until)) {
                    until = wallAt(static_cast<std::int64_t>(icaltime_as_timet_with_zone(until, icaltimezone_get_utc_timezone())),
                                   event.start.zone);
                }
                until.zone = nullptr;
                if (allDay) until.is_date = 1;
                if (icaltime_is_null_time(until) || icaltime_compare(until, high) > 0) until = high;
                if (allDay) until.is_date = 1;
                rule.until = until;
            }
            stepsLeft_ -= IteratorSetupSteps;
            icalrecur_iterator* iterator = icalrecur_iterator_new(rule, event.start.wall);
            if (iterator == nullptr) {
                warnings_.add(std::string(RuleUnsupportedText) + text);
                continue;
            }
            if (rule.count == 0 && icaltime_compare(low, event.start.wall) > 0) {
                icalrecur_iterator_set_start(iterator, low);
            }
            int steps = 0;
            for (; steps < MaxRecurrenceSteps && stepsLeft_ > 0; ++steps, --stepsLeft_) {
                icaltimetype next = icalrecur_iterator_next(iterator);
                if (icaltime_is_null_time(next) || icaltime_compare(next, high) > 0) break;
                next.zone = nullptr;
                if (icaltime_compare(next, low) >= 0) starts.push_back({next, event.start.zone});
            }
            icalrecur_iterator_free(iterator);
            if (steps == MaxRecurrenceSteps) warnings_.add(std::string(RuleCappedText) + text);
            if (stepsLeft_ <= 0) warnings_.add(std::string(DayBudgetText));
        }
    }

    void addSeries(const StoredEvent& event, const std::vector<const StoredEvent*>& overrides)
    {
        if (!event.recurs() && overrides.empty()) {
            add(event, event.start);
            return;
        }
        const bool allDay = event.start.isDate();
        std::vector<CalendarTime> starts{event.start};
        OccurrenceMarks marks(allDay);
        for (const StoredEvent* o : overrides) marks.add(*o->series->recurrenceId);
        if (event.series) {
            ruleStarts(event, starts);
            starts.insert(starts.end(), event.series->extraStarts.begin(), event.series->extraStarts.end());
            for (const CalendarTime& excluded : event.series->excluded) marks.add(excluded);
        }
        std::unordered_set<std::int64_t> seen;
        for (const CalendarTime& start : starts) {
            const std::int64_t key = occurrenceKey(start, allDay);
            if (!seen.insert(key).second || marks.names(start, key)) continue;
            add(event, start);
        }
    }

private:
    const DayWindow& window_;
    CalendarDay& out_;
    WarningList& warnings_;
    long long stepsLeft_ = MaxStepsPerDay;
};

}  // namespace

CalendarDay ParsedCalendar::expandDay(int year, int month, int day) const
{
    prepareLibical();
    DayWindow window;
    window.dayNumber = civilDayNumber(year, month, day);
    const CivilDate next = civilFromDayNumber(window.dayNumber + 1);
    window.dayStart = localMidnight(year, month, day);
    window.dayEnd = localMidnight(next.year, next.month, next.day);

    CalendarDay out;
    WarningList warnings = warnings_;
    if (kept_ && (window.dayNumber < civilDayNumber(kept_->first.year, kept_->first.month, kept_->first.day) ||
                  window.dayNumber > civilDayNumber(kept_->last.year, kept_->last.month, kept_->last.day))) {
        warnings.add(std::string(OutsideKeptText) + std::to_string(year) + "-" + std::to_string(month) + "-" +
                     std::to_string(day));
    }
    std::unordered_map<std::string, std::vector<const StoredEvent*>> overrides;
    for (const StoredEvent& event : events_) {
        if (event.isOverride()) overrides[event.uid].push_back(&event);
    }
    static const std::vector<const StoredEvent*> none;
    DayBuilder builder(window, out, warnings);
    for (const StoredEvent& event : events_) {
        if (event.isOverride()) {
            // An override stands as an event of its own, wherever it moved the occurrence.
            builder.add(event, event.start);
            continue;
        }
        const auto found = overrides.find(event.uid);
        builder.addSeries(event, found != overrides.end() ? found->second : none);
    }
    std::sort(out.meetings.begin(), out.meetings.end(), [](const CalendarMeeting& a, const CalendarMeeting& b) {
        return std::tie(a.start, a.end, a.summary) < std::tie(b.start, b.end, b.summary);
    });
    if (out.meetings.size() > MaxMeetingsPerDay) {
        out.meetings.resize(MaxMeetingsPerDay);
        warnings.add(std::string(MeetingsCappedText));
    }
    if (out.dayEvents.size() > MaxDayEventsPerDay) {
        out.dayEvents.resize(MaxDayEventsPerDay);
        warnings.add(std::string(DayEventsCappedText));
    }
    out.warnings = warnings.lines();
    return out;
}

CalendarDay ParsedCalendar::day(int year, int month, int day) const
{
    const std::int64_t dayStart = localMidnight(year, month, day);
    const CivilDate next = civilFromDayNumber(civilDayNumber(year, month, day) + 1);
    const std::int64_t dayEnd = localMidnight(next.year, next.month, next.day);
    std::lock_guard<std::mutex> hold(cache_->lock);
    if (!cache_->filled || cache_->dayStart != dayStart || cache_->dayEnd != dayEnd) {
        cache_->day = expandDay(year, month, day);
        cache_->dayStart = dayStart;
        cache_->dayEnd = dayEnd;
        cache_->filled = true;
    }
    return cache_->day;
}

}  // namespace quorvane
