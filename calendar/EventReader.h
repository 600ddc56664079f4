#pragma once
// One VEVENT of a parsed tree read into a StoredEvent.
#include <libical/ical.h>

#include "calendar/StoredEvent.h"
#include "calendar/WarningList.h"
#include "calendar/ZoneResolver.h"

// Fills event from vevent, its zones found through zones; false (with a warning) when it has no
// readable start.
bool readEvent(icalcomponent* vevent, CalendarZones& zones, StoredEvent& event, WarningList& warnings);
