#pragma once
// Finds the zone a TZID names: a VTIMEZONE of the same calendar, an IANA name from the system
// zone database, a Windows zone name (Outlook) mapped to its IANA zone, or UTC.
#include <string_view>

#include <libical/ical.h>

// Sets libical up once for the process (non-fatal errors); every reader entry calls it.
void prepareLibical();

// The zone for tzid, or nullptr when no zone of that name is known (the caller reads the time
// as local then). calendar is the VCALENDAR holding the event, searched first.
icaltimezone* resolveZone(std::string_view tzid, icalcomponent* calendar);
