#pragma once
// Every limit and literal of the Microsoft 365 and Google Workspace calendar clients.
#include <cstdint>
#include <string_view>

namespace quorvane {

// Requests to one host at once, as for CalDAV: the connection count browsers and Qt use per host.
inline constexpr int CloudRequestsPerHost = 6;
// The limit of one request, the same as a page wait of the board.
inline constexpr int CloudRequestTimeoutMs = 60 * 1000;
// A day of one person's events is a few kilobytes; a runaway answer must not eat the board's memory.
inline constexpr std::int64_t CloudMaxAnswerBytes = 16 * 1024 * 1024;
// A throttled person is asked at most this often per grab, and a Retry-After is waited at most
// this long, so one throttled calendar never holds a grab for minutes.
inline constexpr int CloudMaxTries = 3;
inline constexpr int CloudMaxRetryAfterSeconds = 60;
// A token is taken again this long before it expires, so no request carries one that runs out
// on the way.
inline constexpr std::int64_t TokenRenewMarginSeconds = 5 * 60;
// The Google assertion's lifetime; the token service refuses longer ones.
inline constexpr std::int64_t AssertionLifetimeSeconds = 3600;

// Service addresses and request shapes.
inline constexpr std::string_view DefaultM365LoginUrl = "https://login.microsoftonline.com";
inline constexpr std::string_view DefaultM365GraphUrl = "https://graph.microsoft.com";
inline constexpr std::string_view DefaultGoogleApiUrl = "https://www.googleapis.com";
// The event fields the board reads; responseStatus tells a meeting the person declined.
inline constexpr std::string_view GraphEventFields =
    "subject,location,start,end,showAs,sensitivity,isAllDay,isCancelled,responseStatus";
inline constexpr std::string_view GraphUtcPreference = "outlook.timezone=\"UTC\"";
inline constexpr std::string_view GoogleCalendarScope = "https://www.googleapis.com/auth/calendar.readonly";
inline constexpr std::string_view JwtBearerGrant = "urn:ietf:params:oauth:grant-type:jwt-bearer";
inline constexpr std::string_view GoogleMaxResults = "250";

// Keys of the credentials files.
inline constexpr std::string_view M365TenantKey = "tenant";
inline constexpr std::string_view M365ClientIdKey = "client_id";
inline constexpr std::string_view M365ClientSecretKey = "client_secret";
inline constexpr std::string_view GoogleKeyFields[] = {"client_email", "private_key", "private_key_id", "token_uri"};

// Note texts of working-location entries.
inline constexpr std::string_view WorkingElsewhereText = "Working elsewhere";
inline constexpr std::string_view WorkingFromHomeText = "Working from home";
inline constexpr std::string_view OfficePrefixText = "Office: ";
inline constexpr std::string_view OfficeText = "Office";

// Failure reasons of a person's fetch, one line each.
inline constexpr std::string_view CloudTimedOut = "timed out";
inline constexpr std::string_view CloudTooLarge = "too large";
inline constexpr std::string_view CloudNotJson = "not the expected JSON";
inline constexpr std::string_view CloudTokenPrefix = "token request: ";
inline constexpr std::string_view CloudForeignNextLink = "next page address on another host refused";
inline constexpr std::string_view CloudEventWithoutStart = "event without a readable start: ";

}  // namespace quorvane
