#pragma once
// Finds the zone a TZID names: a VTIMEZONE of the same calendar, an IANA name from the system
// zone database, a Windows zone name (Outlook) mapped to its IANA zone, or UTC.
#include <map>
#include <string>
#include <string_view>

#include <libical/ical.h>

// Sets libical up once for the process (non-fatal errors); every reader entry calls it.
void prepareLibical();

// The zone for tzid, or nullptr when no zone of that name is known (the caller reads the time
// as local then). calendar is the VCALENDAR holding the event, searched first.
icaltimezone* resolveZone(std::string_view tzid, icalcomponent* calendar);

// Copies of the VTIMEZONEs that events refer to, owned here so that the parsed tree holding the
// originals can be freed right after reading. Identical definitions share one copy.
class ZoneCopies {
public:
    ZoneCopies() = default;
    ZoneCopies(const ZoneCopies&) = delete;
    ZoneCopies& operator=(const ZoneCopies&) = delete;
    ~ZoneCopies();
    // A copy of zone (a zone of a parsed tree), kept until this is destroyed.
    icaltimezone* keep(icaltimezone* zone);

private:
    std::map<std::string, icaltimezone*> byDefinition_;
};

// Resolves the TZIDs of one VCALENDAR, each name once: zones of the calendar's own VTIMEZONEs
// come out as copies kept in copies, others as libical's shared built-in zones.
class CalendarZones {
public:
    CalendarZones(icalcomponent* calendar, ZoneCopies& copies) : calendar_(calendar), copies_(copies) {}
    // nullptr when no zone of that name is known.
    icaltimezone* zone(const std::string& tzid);

private:
    icalcomponent* calendar_;
    ZoneCopies& copies_;
    std::map<std::string, icaltimezone*> resolved_;
};
