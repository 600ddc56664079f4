#pragma once
// Every limit and literal of the demo calendar server in one place.
#include <cstddef>
#include <string_view>

namespace quorvane {

// The one calendar path the server answers; any other path gets a "not found" page.
inline constexpr std::string_view DemoCalendarPath = "/ocas-bin/ocas.fcgi";
// Each person's day as an iCalendar feed: "/ics/<item id>.ics" (no log-in, like a calendar's
// secret address).
inline constexpr std::string_view DemoFeedPrefix = "/ics/";
inline constexpr std::string_view DemoFeedSuffix = ".ics";
inline constexpr std::string_view DemoFeedContentType = "text/calendar; charset=utf-8";
inline constexpr std::string_view DemoFeedProductId = "PRODID:-//Quorvane//Demo calendar//EN";
inline constexpr std::string_view DemoFeedUidDomain = "democal.quorvane.invalid";
// Content lines are folded after this many octets.
inline constexpr std::size_t DemoFeedLineOctets = 75;
// Values of the "web" query key.
inline constexpr std::string_view DemoWebLogin = "login";
inline constexpr std::string_view DemoWebViewPub = "viewpub";
inline constexpr std::string_view DemoWebDayPage = "daypage";
// The session cookie the log-in sets and the day view asks for.
inline constexpr std::string_view DemoSessionCookie = "ocas_session";
inline constexpr std::size_t DemoSessionTokenBytes = 16;
// Sessions kept at once; the oldest is forgotten beyond this.
inline constexpr std::size_t DemoMaxSessions = 1000;

// Request reading: the header block is bounded, and a slow client is given up on.
inline constexpr std::size_t DemoMaxHeaderBytes = 16 * 1024;
inline constexpr int DemoReadTimeoutMs = 5000;
// Connections served at once; more are closed at once.
inline constexpr int DemoMaxConnections = 64;
inline constexpr int DemoListenBacklog = 32;
// Pause of the accept loop when the process is out of file descriptors.
inline constexpr int DemoAcceptPauseMs = 50;
// How long a stop waits for open connections to finish.
inline constexpr int DemoStopWaitMs = 3000;
// Poll interval of a connection held open by the never-complete and slow-item faults.
inline constexpr int DemoHoldPollMs = 200;
// After answering: how long and how much unread input is drained before the socket closes.
inline constexpr int DemoDrainMs = 500;
inline constexpr std::size_t DemoDrainBytes = 256 * 1024;
// First byte of a TLS handshake record.
inline constexpr unsigned char DemoTlsHandshakeByte = 0x16;

// The self-signed certificate.
inline constexpr std::string_view DemoCertCommonName = "localhost";
inline constexpr std::string_view DemoCertSubjectAltName = "IP:127.0.0.1,DNS:localhost";
inline constexpr long DemoCertValidDays = 30;
inline constexpr long DemoCertBackdateSeconds = 3600;

// Minutes in a day and the last minute a meeting may end at (23:59).
inline constexpr int DemoMinutesPerDay = 24 * 60;
inline constexpr int DemoLastMinute = DemoMinutesPerDay - 1;

// Text of the day views.
inline constexpr std::string_view DemoBankHoliday = "Bank Holiday (Scotland)";
inline constexpr std::string_view DemoLeavePrefix = "Leave - ";
inline constexpr std::string_view DemoLateStart = "Late start (dentist)";
inline constexpr std::string_view DemoEarlyFinish = "Early finish (school run)";
inline constexpr std::string_view DemoTeamLunch = "Team lunch";
// The text of the broken-time fault: no " - " between the two times.
inline constexpr std::string_view DemoBrokenTimeRange = "09:00 to 10:30";

// Option names of the program.
inline constexpr std::string_view DemoOptPort = "--port";
inline constexpr std::string_view DemoOptCertOut = "--cert-out";
inline constexpr std::string_view DemoOptNow = "--now";
inline constexpr std::string_view DemoOptUser = "--user";
inline constexpr std::string_view DemoOptPassword = "--password";
inline constexpr std::string_view DemoOptFault = "--fault";
inline constexpr std::string_view DemoOptHelp = "--help";
inline constexpr std::string_view DemoFaultNeverComplete = "never-complete";
inline constexpr std::string_view DemoFaultBrokenTime = "broken-time";
inline constexpr std::string_view DemoFaultUnterminated = "unterminated";
inline constexpr std::string_view DemoFaultLostSession = "lost-session";
inline constexpr std::string_view DemoFaultSlowItem = "slow-item";
inline constexpr std::string_view DemoFaultHugePage = "huge-page";
inline constexpr std::string_view DemoFaultOneUnreadable = "one-unreadable";
// one-unreadable: the one person whose day view does not read.
inline constexpr std::string_view DemoUnreadableItem = "1003";
// lost-session: day views served before every session is lost (a grab of the demo office and two more).
inline constexpr int DemoSessionDayViews = 10;
// slow-item: the item whose day view is slow, and how slow (longer than the board's page wait).
inline constexpr std::string_view DemoSlowItem = "1002";
inline constexpr int DemoSlowItemSeconds = 70;
// huge-page: hidden text added to every day view (above the board's 8 MiB page limit).
inline constexpr std::size_t DemoHugePageBytes = 10u * 1024 * 1024;

}  // namespace quorvane
