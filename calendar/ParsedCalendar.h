#pragma once
// iCalendar data read once (the cache kept per person between fetches): the events with their
// times, zones and recurrence, from which any local day is then expanded.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <libical/ical.h>

#include "calendar/CalendarDay.h"

// A date or date-time value with the zone it is read in (nullptr: floating, read as local).
struct CalendarTime {
    icaltimetype wall{};  // zone field cleared; the wall clock in zone
    icaltimezone* zone = nullptr;
    bool isDate() const { return wall.is_date != 0; }
};

// Unix seconds of a date-time value (a floating one read in the local zone).
std::int64_t calendarInstant(const CalendarTime& time);

struct StoredEvent {
    std::string uid, summary, location;
    bool isPrivate = false, outOfOffice = false, cancelled = false, transparent = false;
    CalendarTime start;
    // Timed events: exact length in seconds. All-day events: length in days (at least one).
    std::int64_t length = 0;
    std::vector<icalrecurrencetype> rules;
    std::vector<CalendarTime> extraStarts;  // RDATE (a period's own length is not kept)
    std::vector<CalendarTime> excluded;     // EXDATE
    std::optional<CalendarTime> recurrenceId;  // set on an override of one occurrence
};

class ParsedCalendar {
public:
    // Reads one text holding one or more VCALENDARs; CalendarError when it is not iCalendar data
    // or cannot be read.
    static ParsedCalendar parse(std::string_view icsText);
    // Reads several texts (a CalDAV multi-status gives one VCALENDAR per event) as one calendar.
    static ParsedCalendar parse(const std::vector<std::string>& calendars);

    ParsedCalendar(ParsedCalendar&&) noexcept;
    ParsedCalendar& operator=(ParsedCalendar&&) noexcept;
    ~ParsedCalendar();

    // The meetings and day events of a local date (the machine's zone), expanded afresh.
    CalendarDay expandDay(int year, int month, int day) const;
    // The same, kept for the next call with the same date and zone (the board asks the same
    // day every refresh). Calls on one calendar are serialised.
    CalendarDay day(int year, int month, int day) const;

    std::size_t eventCount() const { return events_.size(); }

private:
    ParsedCalendar();
    void readText(std::string_view icsText);

    struct Roots;
    std::unique_ptr<Roots> roots_;  // the libical trees the zones live in
    std::vector<StoredEvent> events_;
    std::vector<std::string> warnings_;

    struct DayCache {
        std::mutex lock;
        bool filled = false;
        std::int64_t dayStart = 0, dayEnd = 0;
        CalendarDay day;
    };
    std::unique_ptr<DayCache> cache_;
};
