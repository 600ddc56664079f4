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

#include "calendar/CalendarDay.h"
#include "calendar/LocalTime.h"
#include "calendar/StoredEvent.h"
#include "calendar/WarningList.h"

// Local dates (the machine's zone), both included, that a calendar is read for: events that
// cannot touch them are not kept.
struct KeptDates {
    CivilDate first{}, last{};
    // The date and KeptDaysAround dates either side.
    static KeptDates around(int year, int month, int day);
};

class ParsedCalendar {
public:
    // Reads one text holding one or more VCALENDARs; CalendarError when it is not iCalendar data
    // or cannot be read. An event holding a NUL byte is skipped with a warning.
    static ParsedCalendar parse(std::string_view icsText);
    // Reads several texts (a CalDAV multi-status gives one VCALENDAR per event) as one calendar.
    // A text that cannot be read is skipped with a warning while another one can be read; when
    // none can, the first one's CalendarError.
    static ParsedCalendar parse(const std::vector<std::string>& calendars);
    // The same, keeping only what can touch dates: the memory kept is bounded by what the board
    // shows, not by the feed. Days outside dates expand with a warning, and may miss events.
    static ParsedCalendar parse(std::string_view icsText, const KeptDates& dates);
    static ParsedCalendar parse(const std::vector<std::string>& calendars, const KeptDates& dates);

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
    static ParsedCalendar parseAll(const std::vector<std::string_view>& texts, const std::optional<KeptDates>& dates);
    void readText(std::string_view icsText);
    void keepOnly(const KeptDates& dates);

    struct Zones;
    std::unique_ptr<Zones> zones_;  // copies of the calendars' own VTIMEZONEs
    std::vector<StoredEvent> events_;
    WarningList warnings_;
    std::optional<KeptDates> kept_;
    std::size_t eventsLeft_ = 0;  // events still to read (MaxEventsRead in all) when kept_ is set

    struct DayCache {
        std::mutex lock;
        bool filled = false;
        std::int64_t dayStart = 0, dayEnd = 0;
        CalendarDay day;
    };
    std::unique_ptr<DayCache> cache_;
};
