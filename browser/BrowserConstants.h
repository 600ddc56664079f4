#pragma once
// Every limit and literal of the browser driver and the calendar addresses.
#include <string_view>

namespace quorvane {

// One wait pass lasts this long (less when a document completes first).
constexpr int WaitPassMilliseconds = 100;
// A page wait gives up after this many seconds (each of the two waits of a redirect).
constexpr int PageWaitTimeoutSeconds = 60;
// A progress dot is appended on every this-many-th pass, counted over both waits.
constexpr int PassesPerDot = 3;

constexpr std::string_view WaitDotText = ".";
constexpr std::string_view TimedOutText = "Timed Out";
constexpr std::string_view RedirectingText = "Redirecting";

// The calendar server's request addresses.
constexpr std::string_view LoginScheme = "https://";
constexpr std::string_view DayViewScheme = "http://";
constexpr std::string_view CalendarPath = "/ocas-bin/ocas.fcgi";
constexpr std::string_view LoginQueryHead =
    "?sub=web&web=login&cgi-path=/ocas-bin/&from_lf=on&js_enabled=false&ada=on&server=&srch_query=";
constexpr std::string_view LoginQueryPassword = "&srch_xitemid=&password=";
constexpr std::string_view LoginQueryTail = "&ok=ok&ada=on";
constexpr std::string_view DayViewQueryHead = "?sub=web&web=viewpub&ada=on&date=";
constexpr std::string_view DayViewQueryItem =
    "&view=day&searchTextField=&radioSearch=pub_name_radio&resultSelect=";
constexpr std::string_view DayViewQueryTail = "/1&viewform.x=21&viewform.y=12";

}  // namespace quorvane
