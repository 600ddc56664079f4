#pragma once
// Every literal and limit of the service pieces (client ranges, metrics, systemd notification,
// state files, the standard-output writer), in one place.
#include <array>
#include <cstddef>
#include <string_view>

namespace quorvane {

// Client ranges. Every address is compared in its 128-bit IPv6 form; an IPv4 address is held as
// ::ffff:a.b.c.d, so that an IPv4 client reached over an IPv6 socket matches IPv4 ranges.
inline constexpr int Ipv4Bits = 32;
inline constexpr int Ipv6Bits = 128;
inline constexpr int Ipv4MappedPrefixBits = Ipv6Bits - Ipv4Bits;
inline constexpr std::string_view AllowOption = "--allow";
inline constexpr std::string_view AllowValueExample = "an IPv4 or IPv6 address or range such as 10.0.0.0/8, "
                                                      "192.168.1.7, ::1/128 or 2001:db8::/32";

// Metrics: names and help texts of what the board exposes on /metrics.
inline constexpr std::string_view MetricsContentType = "text/plain; version=0.0.4";
inline constexpr std::string_view BuildInfoName = "quorvane_build_info";
inline constexpr std::string_view BuildInfoHelp = "The running board's version; always 1.";
inline constexpr std::string_view GrabsName = "quorvane_grabs_total";
inline constexpr std::string_view GrabsHelp = "Grabs (refreshes of every person's calendar) by outcome.";
inline constexpr std::string_view PersonFetchesName = "quorvane_person_fetches_total";
inline constexpr std::string_view PersonFetchesHelp = "Fetches of one person's calendar by source and outcome.";
inline constexpr std::string_view LastGrabSuccessName = "quorvane_last_grab_success_timestamp_seconds";
inline constexpr std::string_view LastGrabSuccessHelp = "Unix time at which the last successful grab ended.";
inline constexpr std::string_view DataAgeName = "quorvane_data_age_seconds";
inline constexpr std::string_view DataAgeHelp = "Age of the data the board serves, in seconds.";
inline constexpr std::string_view HttpRequestsName = "quorvane_http_requests_total";
inline constexpr std::string_view HttpRequestsHelp = "HTTP answers sent, by status code.";
inline constexpr std::string_view HttpConnectionsName = "quorvane_http_connections_open";
inline constexpr std::string_view HttpConnectionsHelp = "Client connections open now.";
inline constexpr std::string_view FetchDurationName = "quorvane_fetch_duration_seconds";
inline constexpr std::string_view FetchDurationHelp = "Time taken by one person's calendar fetch, in seconds.";
inline constexpr std::string_view GrabOk = "ok";
inline constexpr std::string_view GrabFailed = "failed";
// Calendar fetches take from a few milliseconds (a cached feed on this machine) up to the
// refresh's time-out of a minute.
inline constexpr std::array<double, 11> FetchDurationBuckets = {0.01, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30, 60};
// HTTP status codes are three digits: a counter slot for each keeps the request path lock-free.
inline constexpr int HttpCodeLimit = 600;

// systemd notification; the watchdog is fed at this fraction of its time-out, as sd_watchdog_enabled(3)
// advises, so that one late timer tick does not get the service restarted.
inline constexpr int WatchdogIntervalDivisor = 2;
inline constexpr unsigned long long UsPerMs = 1000;

// State files.
inline constexpr std::string_view StateDirectoryVariable = "STATE_DIRECTORY";
inline constexpr std::string_view XdgStateHomeVariable = "XDG_STATE_HOME";
inline constexpr std::string_view HomeVariable = "HOME";
inline constexpr std::string_view StateSubdirectory = "quorvane";
inline constexpr std::string_view HomeStatePath = ".local/state";
// Created directories are the owner's only: the state holds who is where.
inline constexpr unsigned StateDirectoryMode = 0700;
inline constexpr std::string_view StateFormat = "quorvane-state";
inline constexpr std::string_view StateFormatKey = "format";
inline constexpr std::string_view StateVersionKey = "version";
inline constexpr std::string_view StateWrittenKey = "written";
inline constexpr std::string_view StateDataKey = "data";
// A state file is written in pieces of this size, a stop looked for between them: a stop waits
// for one piece at most, never for the whole file.
inline constexpr std::size_t StateWriteChunkBytes = 256 * 1024;

// People's own statuses and their links (SelfStatusStore).
inline constexpr std::string_view SelfStatusFileName = "self-status.json";
inline constexpr std::string_view SelfLinksFileName = "status-links.json";
inline constexpr std::string_view SelfLinksLockName = "status-links.lock";
inline constexpr int SelfStateVersion = 1;
inline constexpr const char* SelfStatusesKey = "statuses";
inline constexpr const char* SelfLinksKey = "links";
inline constexpr const char* SelfTextKey = "text";
inline constexpr const char* SelfUntilKey = "until";
// 128 bits: a link can be neither guessed nor found by trying.
inline constexpr std::size_t StatusTokenBytes = 16;

// The standard-output writer: lines waiting for a slow output beyond this many are dropped and
// counted (a minute of access lines at a few hundred requests a second).
inline constexpr std::size_t LineQueueCapacity = 16384;
// Written after the count: "12 log lines dropped".
inline constexpr std::string_view DroppedLinesSuffix = " log lines dropped";

}  // namespace quorvane
