#include "calendar/ParsedCalendar.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "calendar/CalendarConstants.h"
#include "calendar/CalendarError.h"
#include "calendar/LocalTime.h"
#include "calendar/ZoneResolver.h"

struct ParsedCalendar::Roots {
    std::vector<icalcomponent*> trees;
    ~Roots()
    {
        for (icalcomponent* tree : trees) icalcomponent_free(tree);
    }
};

namespace {

std::string oneLine(const char* text)
{
    std::string out = text != nullptr ? text : "";
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return out;
}

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

void addWarning(std::vector<std::string>& warnings, std::string warning)
{
    if (std::find(warnings.begin(), warnings.end(), warning) == warnings.end()) warnings.push_back(std::move(warning));
}

CalendarTime readTime(icalproperty* property, icaltimetype value, icalcomponent* calendar,
                      std::vector<std::string>& warnings)
{
    CalendarTime time;
    time.wall = value;
    time.wall.zone = nullptr;
    if (value.is_date) return time;
    if (icaltime_is_utc(value)) {
        time.zone = icaltimezone_get_utc_timezone();
        return time;
    }
    if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        const char* name = icalparameter_get_tzid(tzid);
        time.zone = resolveZone(name != nullptr ? name : "", calendar);
        if (time.zone == nullptr) addWarning(warnings, std::string(UnknownZoneText) + (name != nullptr ? name : ""));
    }
    return time;
}

std::int64_t instantOf(const CalendarTime& time)
{
    if (time.zone != nullptr) return static_cast<std::int64_t>(icaltime_as_timet_with_zone(time.wall, time.zone));
    return localToUnix(time.wall.year, time.wall.month, time.wall.day, time.wall.hour, time.wall.minute,
                       time.wall.second);
}

bool isOutOfOffice(icalcomponent* event)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        const char* value = icalproperty_get_x(p);
        if (name == nullptr || value == nullptr || strcasecmp(name, BusyStatusProperty.data()) != 0) continue;
        std::string v = value;
        v.erase(std::remove_if(v.begin(), v.end(), [](unsigned char c) { return std::isspace(c); }), v.end());
        if (strcasecmp(v.c_str(), OutOfOfficeValue.data()) == 0) return true;
    }
    return false;
}

// Fills event from a VEVENT; false (with a warning) when it has no readable start.
bool readEvent(icalcomponent* vevent, icalcomponent* calendar, StoredEvent& event, std::vector<std::string>& warnings)
{
    event.uid = oneLine(icalcomponent_get_uid(vevent));
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_SUMMARY_PROPERTY)) {
        event.summary = oneLine(icalproperty_get_summary(p));
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_LOCATION_PROPERTY)) {
        event.location = oneLine(icalproperty_get_location(p));
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_CLASS_PROPERTY)) {
        const icalproperty_class c = icalproperty_get_class(p);
        event.isPrivate = c == ICAL_CLASS_PRIVATE || c == ICAL_CLASS_CONFIDENTIAL;
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_STATUS_PROPERTY)) {
        event.cancelled = icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_TRANSP_PROPERTY)) {
        const icalproperty_transp t = icalproperty_get_transp(p);
        event.transparent = t == ICAL_TRANSP_TRANSPARENT || t == ICAL_TRANSP_TRANSPARENTNOCONFLICT;
    }
    event.outOfOffice = isOutOfOffice(vevent);

    icalproperty* dtstart = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const icaltimetype startValue = dtstart != nullptr ? icalproperty_get_dtstart(dtstart) : icaltime_null_time();
    if (icaltime_is_null_time(startValue) || !icaltime_is_valid_time(startValue)) {
        warnings.push_back(std::string(NoStartText) + (event.summary.empty() ? event.uid : event.summary));
        return false;
    }
    event.start = readTime(dtstart, startValue, calendar, warnings);

    icalproperty* dtend = icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY);
    icalproperty* duration = icalcomponent_get_first_property(vevent, ICAL_DURATION_PROPERTY);
    if (event.start.isDate()) {
        event.length = 1;
        if (dtend != nullptr) {
            const icaltimetype end = icalproperty_get_dtend(dtend);
            event.length = civilDayNumber(end.year, end.month, end.day) -
                           civilDayNumber(event.start.wall.year, event.start.wall.month, event.start.wall.day);
        } else if (duration != nullptr) {
            event.length = icaldurationtype_as_int(icalproperty_get_duration(duration)) / SecondsPerDay;
        }
        event.length = std::max<std::int64_t>(event.length, 1);
    } else {
        if (dtend != nullptr) {
            const CalendarTime end = readTime(dtend, icalproperty_get_dtend(dtend), calendar, warnings);
            event.length = end.isDate() ? 0 : instantOf(end) - instantOf(event.start);
        } else if (duration != nullptr) {
            event.length = icaldurationtype_as_int(icalproperty_get_duration(duration));
        }
        event.length = std::max<std::int64_t>(event.length, 0);
    }

    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_RRULE_PROPERTY)) {
        event.rules.push_back(icalproperty_get_rrule(p));
    }
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
        const icaltimetype time = icaltime_is_null_time(value.time) ? value.period.start : value.time;
        if (!icaltime_is_null_time(time)) event.extraStarts.push_back(readTime(p, time, calendar, warnings));
    }
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_EXDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_EXDATE_PROPERTY)) {
        event.excluded.push_back(readTime(p, icalproperty_get_exdate(p), calendar, warnings));
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY)) {
        event.recurrenceId = readTime(p, icalproperty_get_recurrenceid(p), calendar, warnings);
    }
    return true;
}

}  // namespace

std::int64_t calendarInstant(const CalendarTime& time)
{
    return instantOf(time);
}

ParsedCalendar::ParsedCalendar() : roots_(std::make_unique<Roots>()), cache_(std::make_unique<DayCache>()) {}
ParsedCalendar::ParsedCalendar(ParsedCalendar&&) noexcept = default;
ParsedCalendar& ParsedCalendar::operator=(ParsedCalendar&&) noexcept = default;
ParsedCalendar::~ParsedCalendar() = default;

ParsedCalendar ParsedCalendar::parse(std::string_view icsText)
{
    ParsedCalendar calendar;
    calendar.readText(icsText);
    return calendar;
}

ParsedCalendar ParsedCalendar::parse(const std::vector<std::string>& calendars)
{
    ParsedCalendar calendar;
    for (const std::string& text : calendars) calendar.readText(text);
    return calendar;
}

void ParsedCalendar::readText(std::string_view text)
{
    prepareLibical();
    if (startsWithNoCase(text, Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    if (!startsWithNoCase(text, BeginCalendar)) throw CalendarError(std::string(NotICalendarText));

    const std::string owned(text);
    icalcomponent* root = icalparser_parse_string(owned.c_str());
    if (root == nullptr) throw CalendarError(std::string(UnreadableText) + std::string(NoCalendarText));
    roots_->trees.push_back(root);

    std::vector<icalcomponent*> vcalendars;
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        vcalendars.push_back(root);
    } else {
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c != nullptr;
             c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
            vcalendars.push_back(c);
        }
    }
    const int openings = countLines(owned, BeginCalendar);
    if (vcalendars.empty() || static_cast<int>(vcalendars.size()) < openings || countLines(owned, EndCalendar) < openings) {
        throw CalendarError(std::string(UnreadableText) + std::string(NoCalendarText));
    }
    for (icalcomponent* vcalendar : vcalendars) {
        for (icalcomponent* vevent = icalcomponent_get_first_component(vcalendar, ICAL_VEVENT_COMPONENT);
             vevent != nullptr; vevent = icalcomponent_get_next_component(vcalendar, ICAL_VEVENT_COMPONENT)) {
            StoredEvent event;
            if (readEvent(vevent, vcalendar, event, warnings_)) events_.push_back(std::move(event));
        }
    }
}
