#pragma once
// The people whose item id is a calendar address (a CalDAV collection or an iCalendar feed):
// their calendars fetched together at a grab, each kept as that person's cache (parsed once per
// fetch), and their statuses composed from the cache at every refresh.
#include <functional>
#include <map>
#include <string>

#include "board/Roster.h"
#include "calendar/ParsedCalendar.h"
#include "calendarfetch/CalendarFetcher.h"
#include "log/LogWriter.h"
#include "text/DateTime.h"
#include "board/PersonStatus.h"
#include "text/Instant.h"

class CalendarSources {
public:
    CalendarSources(CalendarFetchSettings settings, LogWriter& log);

    // Whether an item id names a calendar address (absolute http:// or https://).
    static bool isCalendarAddress(const std::string& itemId);
    // Whether any person of the roster reads a calendar address.
    static bool anyIn(const Roster& roster);

    // Fetches the calendar of every such person not yet fetched in the open grab, for the local
    // day of nowTime, waiting in runWaitPass's event-loop passes, and records each one's progress
    // (fetched at fetchedAt, or kept). Each failure keeps that person's cache and is logged as
    // "Calendar of NAME: reason"; the others go on. Returns the first failure, or empty.
    std::string grab(Roster& roster, DateTime nowTime, DateTime fetchedAt, const std::function<void()>& runWaitPass);
    // The person's status at now from their cache; unknown when nothing was ever read.
    PersonStatus compose(const Roster& roster, int index, Instant now);
    // Ends the fetches under way at once (a stop).
    void abort() { fetcher_.abort(); }

private:
    CalendarFetcher fetcher_;
    LogWriter& log_;
    std::map<std::string, ParsedCalendar> cache_;  // by address: a reloaded roster keeps it
};
