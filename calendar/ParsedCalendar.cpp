#include "calendar/ParsedCalendar.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <unordered_map>
#include <strings.h>

#include "calendar/CalendarConstants.h"
#include "calendar/CalendarError.h"
#include "calendar/EventFilter.h"
#include "calendar/EventReader.h"
#include "calendar/RecurrenceGuard.h"
#include "calendar/ZoneResolver.h"

struct ParsedCalendar::Zones {
    ZoneCopies copies;
};

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// lines that start with prefix: the VCALENDAR openings and closings, to tell a cut-off calendar
// (which libical drops or closes by itself) from a whole one.
int countLines(std::string_view text, std::string_view prefix)
{
    int count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (startsWithNoCase(text.substr(at, end - at), prefix)) ++count;
        at = end + 1;
    }
    return count;
}

struct TreeFree {
    void operator()(icalcomponent* tree) const { icalcomponent_free(tree); }
};

// The span of time a calendar kept for some dates must cover, with margins for a zone change.
struct KeptSpan {
    std::int64_t start = 0, end = 0;  // Unix seconds
    std::int64_t firstDay = 0, lastDay = 0;  // civil day numbers

    explicit KeptSpan(const KeptDates& dates)
    {
        const long long marginDays = KeptSlackSeconds / SecondsPerDay;
        firstDay = civilDayNumber(dates.first.year, dates.first.month, dates.first.day) - marginDays;
        lastDay = civilDayNumber(dates.last.year, dates.last.month, dates.last.day) + marginDays;
        start = localMidnight(dates.first.year, dates.first.month, dates.first.day) - KeptSlackSeconds;
        const CivilDate after = civilFromDayNumber(lastDay - marginDays + 1);
        end = localMidnight(after.year, after.month, after.day) + KeptSlackSeconds;
    }

    // Whether an occurrence starting at time and lasting length (seconds, or days when all-day)
    // can touch the span.
    bool touches(const CalendarTime& time, std::int64_t length, bool allDay) const
    {
        if (allDay || time.isDate()) {
            const std::int64_t day = civilDayNumber(time.wall.year, time.wall.month, time.wall.day);
            const std::int64_t days = allDay ? std::max<std::int64_t>(length, 1) : length / SecondsPerDay + 1;
            return day <= lastDay && day + days >= firstDay;
        }
        const std::int64_t at = calendarInstant(time);
        return at <= end && at + length >= start;
    }
};

// Whether a rule of the series can still give an occurrence touching span.
bool ruleReaches(const std::string& text, const StoredEvent& event, const KeptSpan& span)
{
    const icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE || icaltime_is_null_time(rule.until)) return true;
    CalendarTime until{rule.until, icaltime_is_utc(rule.until) ? icaltimezone_get_utc_timezone() : event.start.zone};
    until.wall.zone = nullptr;
    if (until.isDate() || event.start.isDate()) {
        return civilDayNumber(until.wall.year, until.wall.month, until.wall.day) +
                   (event.start.isDate() ? event.length : event.length / SecondsPerDay + 1) >= span.firstDay;
    }
    return calendarInstant(until) + event.length >= span.start;
}

template <typename T>
void keepWhere(std::vector<T>& items, const auto& wanted)
{
    std::erase_if(items, [&](const T& item) { return !wanted(item); });
    items.shrink_to_fit();
}

}  // namespace

KeptDates KeptDates::around(int year, int month, int day)
{
    const std::int64_t number = civilDayNumber(year, month, day);
    return {civilFromDayNumber(number - KeptDaysAround), civilFromDayNumber(number + KeptDaysAround)};
}

std::int64_t calendarInstant(const CalendarTime& time)
{
    if (time.zone != nullptr) return static_cast<std::int64_t>(icaltime_as_timet_with_zone(time.wall, time.zone));
    return localToUnix(time.wall.year, time.wall.month, time.wall.day, time.wall.hour, time.wall.minute,
                       time.wall.second);
}

ParsedCalendar::ParsedCalendar() : zones_(std::make_unique<Zones>()), cache_(std::make_unique<DayCache>()) {}
ParsedCalendar::ParsedCalendar(ParsedCalendar&&) noexcept = default;
ParsedCalendar& ParsedCalendar::operator=(ParsedCalendar&&) noexcept = default;
ParsedCalendar::~ParsedCalendar() = default;

ParsedCalendar ParsedCalendar::parse(std::string_view icsText)
{
    return parseAll({icsText}, std::nullopt);
}

ParsedCalendar ParsedCalendar::parse(const std::vector<std::string>& calendars)
{
    return parseAll({calendars.begin(), calendars.end()}, std::nullopt);
}

ParsedCalendar ParsedCalendar::parse(std::string_view icsText, const KeptDates& dates)
{
    return parseAll({icsText}, dates);
}

ParsedCalendar ParsedCalendar::parse(const std::vector<std::string>& calendars, const KeptDates& dates)
{
    return parseAll({calendars.begin(), calendars.end()}, dates);
}

ParsedCalendar ParsedCalendar::parseAll(const std::vector<std::string_view>& texts, const std::optional<KeptDates>& dates)
{
    ParsedCalendar calendar;
    calendar.kept_ = dates;
    calendar.eventsLeft_ = dates ? MaxEventsRead : SIZE_MAX;
    std::optional<CalendarError> firstError;
    bool anyRead = false;
    for (std::string_view text : texts) {
        if (calendar.eventsLeft_ == 0) {
            // The rest of a multi-status that gives more events than are read: not even parsed.
            calendar.warnings_.add(std::string(EventsCappedText));
            break;
        }
        try {
            calendar.readText(text);
            anyRead = true;
        } catch (const CalendarError& error) {
            if (texts.size() == 1) throw;
            if (!firstError) firstError = error;
            calendar.warnings_.add(std::string(ItemSkippedText) + error.what());
        }
    }
    if (!anyRead && firstError) throw *firstError;
    if (dates) calendar.keepOnly(*dates);
    return calendar;
}

void ParsedCalendar::readText(std::string_view text)
{
    prepareLibical();
    if (startsWithNoCase(text, Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    if (!startsWithNoCase(text, BeginCalendar)) throw CalendarError(std::string(NotICalendarText));

    WarningList warnings = warnings_;
    std::optional<DayNumberRange> keep;
    if (kept_) {
        keep = DayNumberRange{civilDayNumber(kept_->first.year, kept_->first.month, kept_->first.day),
                              civilDayNumber(kept_->last.year, kept_->last.month, kept_->last.day)};
    }
    std::size_t eventsLeft = eventsLeft_;
    std::optional<std::string> filtered = filterEvents(text, keep, eventsLeft, warnings);
    const std::string owned = filtered ? std::move(*filtered) : std::string(text);
    // The tree is needed only while reading: the zones events refer to are copied out of it.
    const std::unique_ptr<icalcomponent, TreeFree> root(icalparser_parse_string(owned.c_str()));
    if (!root) throw CalendarError(std::string(UnreadableText) + std::string(NoCalendarText));

    std::vector<icalcomponent*> vcalendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        vcalendars.push_back(root.get());
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c != nullptr;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            vcalendars.push_back(c);
        }
    }
    const int openings = countLines(owned, BeginCalendar);
    if (vcalendars.empty() || static_cast<int>(vcalendars.size()) < openings || countLines(owned, EndCalendar) < openings) {
        throw CalendarError(std::string(UnreadableText) + std::string(NoCalendarText));
    }
    for (icalcomponent* vcalendar : vcalendars) {
        CalendarZones zones(vcalendar, zones_->copies);
        for (icalcomponent* vevent = icalcomponent_get_first_component(vcalendar, ICAL_VEVENT_COMPONENT);
             vevent != nullptr; vevent = icalcomponent_get_next_component(vcalendar, ICAL_VEVENT_COMPONENT)) {
            StoredEvent event;
            if (readEvent(vevent, zones, event, warnings)) events_.push_back(std::move(event));
        }
    }
    warnings_ = std::move(warnings);
    eventsLeft_ = eventsLeft;
}

void ParsedCalendar::keepOnly(const KeptDates& dates)
{
    const KeptSpan span(dates);
    std::unordered_map<std::string, std::int64_t> seriesLength;  // an override's occurrence lasts as its series'
    for (const StoredEvent& event : events_) {
        if (event.recurs() && !event.isOverride()) seriesLength.emplace(event.uid, event.length);
    }
    std::vector<StoredEvent> kept;
    for (StoredEvent& event : events_) {
        const bool allDay = event.start.isDate();
        bool keep = span.touches(event.start, event.length, allDay);
        if (event.isOverride()) {
            const auto found = seriesLength.find(event.uid);
            const std::int64_t length = found != seriesLength.end() ? found->second : event.length;
            keep = keep || span.touches(*event.series->recurrenceId, length, allDay);
        } else if (event.series) {
            SeriesParts& series = *event.series;
            keepWhere(series.extraStarts, [&](const CalendarTime& t) { return span.touches(t, event.length, allDay); });
            keepWhere(series.excluded, [&](const CalendarTime& t) { return span.touches(t, event.length, allDay); });
            // A rule gives nothing before its series' start.
            if (calendarInstant(event.start) > span.end + SecondsPerDay) series.rules.clear();
            keepWhere(series.rules, [&](const std::string& rule) { return ruleReaches(rule, event, span); });
            keep = keep || event.recurs();
        }
        if (keep) kept.push_back(std::move(event));
    }
    events_.clear();
    events_.shrink_to_fit();
    events_.reserve(kept.size());
    std::move(kept.begin(), kept.end(), std::back_inserter(events_));
}
