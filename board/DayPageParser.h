#pragma once
// Reads a person's day view as plain text: counts the numbered meeting and day-event markers,
// cuts each block out, adds the meetings in progress at a given moment and the presence notes
// to the person's status.
#include <string>
#include <string_view>

#include "text/DateTime.h"
#include "log/LogWriter.h"
#include "web/BoardSnapshotData.h"

// From the 1-based position of a block's marker in the page up to and including the first
// "</FONT>" after it, gathered a character at a time. RangeError when the page ends before the
// closing tag.
std::string collectBlockAt(std::string_view page, int position);

// Adds one meeting block to status when it is in progress at nowTime, then turns every "<BR>"
// of status into ", ". Both times are read first (ConvertError when one does not read).
void addMeeting(std::string& status, const std::string& block, DateTime nowTime, PersonView* view = nullptr);

// Adds one day-event block to status as a note when it concerns the person's presence.
void addDayEvent(std::string& status, const std::string& block, const std::string& leaveTag,
                 PersonView* view = nullptr);

// The whole parse of one page: logs the two counts and a dot per item, then the meetings and
// the day events in number order. status is written in place, so what was composed before an
// error stays.
// view, when given, receives the meetings in progress and the notes admitted.
void parseDayPage(const std::string& page, DateTime nowTime, const std::string& leaveTag, std::string& status,
                  LogWriter& log, PersonView* view = nullptr);
