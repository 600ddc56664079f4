#pragma once
// The two addresses the board sends the browser to: the calendar log-in and a person's day view.
#include <string>
#include <string_view>

namespace quorvane {

// https log-in address; userId and Password are percent-encoded.
std::string loginAddress(const std::string& calendarHost, const std::string& userId, const std::string& password);
// Day-view address of one person on the day of dateText ("yyyy/mm/dd"); the item id goes in as
// written in the roster. Plain http as the calendar serves it, unless https is asked for (the
// session cookie then never crosses the network in clear).
std::string dayViewAddress(const std::string& calendarHost, const std::string& dateText, const std::string& itemId,
                           bool https = false);

}  // namespace quorvane
