#pragma once
// Reads a person's day view as plain text: counts the numbered meeting and day-event markers,
// cuts each block out, adds the meetings in progress at a given moment and the presence notes
// to the person's status.
#include <string>
#include <string_view>

#include "text/DateTime.h"
#include "ui/LogWriter.h"

// The largest n such that marker followed by each of 1..n occurs in the page.
int CountNumbered(std::string_view page, std::string_view marker);

// From the first blockMarker + number in the page up to and including the first "</FONT>"
// after it, gathered a character at a time. ERangeError when the marker is absent or the page
// ends before the closing tag.
std::string CollectBlock(std::string_view page, std::string_view blockMarker, int number);
// The same collection from a 1-based position of the page.
std::string CollectBlockAt(std::string_view page, int position);

// Adds one meeting block to status when it is in progress at nowTime, then turns every "<BR>"
// of status into ", ". Both times are read first (EConvertError when one does not read).
void AddMeeting(std::string& status, const std::string& block, TDateTime nowTime);

// Adds one day-event block to status as a note when it concerns the person's presence.
void AddDayEvent(std::string& status, const std::string& block, const std::string& leaveTag);

// The whole parse of one page: logs the two counts and a dot per item, then the meetings and
// the day events in number order. status is written in place, so what was composed before an
// error stays.
void ParseDayPage(const std::string& page, TDateTime nowTime, const std::string& leaveTag, std::string& status,
                  TLogWriter& log);
