#include "calendar/EventReader.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "calendar/CalendarConstants.h"
#include "calendar/LocalTime.h"
#include "calendar/RecurrenceGuard.h"

namespace quorvane {

namespace {

std::string oneLine(const char* text)
{
    std::string out = text != nullptr ? text : "";
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return out;
}

CalendarTime readTime(icalproperty* property, icaltimetype value, CalendarZones& zones, WarningList& warnings)
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
        time.zone = zones.zone(name != nullptr ? name : "");
        if (time.zone == nullptr) warnings.add(std::string(UnknownZoneText) + (name != nullptr ? name : ""));
    }
    return time;
}

// Outlook's busy status of the event, blanks removed; empty when it has none.
std::string busyStatus(icalcomponent* event)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        const char* value = icalproperty_get_x(p);
        if (name == nullptr || value == nullptr || strcasecmp(name, BusyStatusProperty.data()) != 0) continue;
        std::string v = value;
        v.erase(std::remove_if(v.begin(), v.end(), [](unsigned char c) { return std::isspace(c); }), v.end());
        return v;
    }
    return {};
}

SeriesParts& seriesOf(StoredEvent& event)
{
    if (!event.series) event.series = std::make_unique<SeriesParts>();
    return *event.series;
}

void readSeries(icalcomponent* vevent, CalendarZones& zones, StoredEvent& event, WarningList& warnings)
{
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RRULE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype rule = icalproperty_get_rrule(p);
        countAsUntil(rule, event.start.wall);
        const char* text = icalrecurrencetype_as_string(&rule);
        seriesOf(event).rules.emplace_back(text != nullptr ? text : "");
    }
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
        const icaltimetype time = icaltime_is_null_time(value.time) ? value.period.start : value.time;
        if (!icaltime_is_null_time(time)) seriesOf(event).extraStarts.push_back(readTime(p, time, zones, warnings));
    }
    for (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_EXDATE_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(vevent, ICAL_EXDATE_PROPERTY)) {
        seriesOf(event).excluded.push_back(readTime(p, icalproperty_get_exdate(p), zones, warnings));
    }
    if (icalproperty* p = icalcomponent_get_first_property(vevent, ICAL_RECURRENCEID_PROPERTY)) {
        seriesOf(event).recurrenceId = readTime(p, icalproperty_get_recurrenceid(p), zones, warnings);
    }
}

}  // namespace

bool readEvent(icalcomponent* vevent, CalendarZones& zones, StoredEvent& event, WarningList& warnings)
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
    const std::string busy = busyStatus(vevent);
    event.outOfOffice = strcasecmp(busy.c_str(), OutOfOfficeValue.data()) == 0;
    event.workingElsewhere = strcasecmp(busy.c_str(), WorkingElsewhereValue.data()) == 0;

    icalproperty* dtstart = icalcomponent_get_first_property(vevent, ICAL_DTSTART_PROPERTY);
    const icaltimetype startValue = dtstart != nullptr ? icalproperty_get_dtstart(dtstart) : icaltime_null_time();
    if (icaltime_is_null_time(startValue) || !icaltime_is_valid_time(startValue)) {
        warnings.add(std::string(NoStartText) + (event.summary.empty() ? event.uid : event.summary));
        return false;
    }
    event.start = readTime(dtstart, startValue, zones, warnings);

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
            const CalendarTime end = readTime(dtend, icalproperty_get_dtend(dtend), zones, warnings);
            event.length = end.isDate() ? 0 : calendarInstant(end) - calendarInstant(event.start);
        } else if (duration != nullptr) {
            event.length = icaldurationtype_as_int(icalproperty_get_duration(duration));
        }
        event.length = std::max<std::int64_t>(event.length, 0);
    }
    readSeries(vevent, zones, event, warnings);
    return true;
}

}  // namespace quorvane
