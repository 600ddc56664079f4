#pragma once
// Every limit and literal of calendar fetching in one place.
#include <QtGlobal>

#include <cstdint>
#include <string_view>

namespace quorvane {

// Requests to one host at once: the connection count browsers and Qt use per host, so a grab of
// many people never floods a small CalDAV server.
inline constexpr int MaxRequestsPerHost = 6;
// Redirects followed per request before giving up, as for the web calendar's pages.
inline constexpr int MaxRedirects = 5;
// The limit of one request, the same as a page wait of the board.
inline constexpr int RequestTimeoutMs = 60 * 1000;
// An answer larger than this is refused: a person's day never needs it, and a runaway feed
// must not eat the board's memory.
inline constexpr std::int64_t MaxAnswerBytes = 16 * 1024 * 1024;
// What a reply may hold unread: Qt's network thread stops reading the socket when this much
// waits, so however fast a server sends, no more than this sits between two reads and the cap
// above is checked as the bytes arrive.
inline constexpr qint64 ReplyReadBufferBytes = 256 * 1024;

// The CalDAV method, its depth and the namespaces of its answer.
inline constexpr std::string_view CalDavReportMethod = "REPORT";
inline constexpr std::string_view CalDavDepth = "1";
inline constexpr std::string_view DavNamespace = "DAV:";
inline constexpr std::string_view CalDavNamespace = "urn:ietf:params:xml:ns:caldav";
inline constexpr int MultiStatusCode = 207;

// Roster item ids starting so are calendar addresses; any other is an item of the web calendar.
inline constexpr std::string_view HttpAddressStart = "http://";
inline constexpr std::string_view HttpsAddressStart = "https://";
// Stands in for a control byte XML cannot carry while a multi-status is read: U+FDD0, a
// noncharacter that no calendar text holds.
inline constexpr std::string_view ControlStandIn = "\xEF\xB7\x90";

// A feed is iCalendar data when its first line (after a byte order mark and white space) is this.
inline constexpr std::string_view ICalendarStart = "BEGIN:VCALENDAR";
// An address whose path ends so is read as a feed at once, without asking it as CalDAV first.
inline constexpr std::string_view FeedSuffix = ".ics";

// Failure reasons of a person's fetch, one line each.
inline constexpr std::string_view FailTimedOut = "timed out";
inline constexpr std::string_view FailTooLarge = "too large";
inline constexpr std::string_view FailNotICalendar = "not iCalendar data";
inline constexpr std::string_view FailCredentialsInAddress = "credentials in the address refused";
inline constexpr std::string_view FailStopped = "stopped";
// A redirect is not followed to an address with a user name or password in it (the same refusal
// as in the roster, and Qt would keep them for that host), nor from HTTPS to plain HTTP.
inline constexpr std::string_view FailRedirectCredentials = "redirect to an address with credentials refused";
inline constexpr std::string_view FailRedirectToHttp = "redirect from https to http refused";

}  // namespace quorvane
