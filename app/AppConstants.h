#pragma once
// Literals of the program's options, its error boxes and its exit codes.
#include <cstddef>
#include <string_view>

namespace quorvane {

constexpr const char* ProgramName = "quorvane";
constexpr const char* FatalErrorTitle = "Application Error";
constexpr int ExitFatal = 1;        // the window could not be built
constexpr int ExitUsage = 2;        // bad options, refused credentials file, nothing to prompt on

// Option names as QCommandLineParser takes them (without the leading "--").
constexpr const char* OptionCalendarHost = "calendar-host";
constexpr const char* OptionCalendarCa = "calendar-ca";
constexpr const char* OptionCredentialsFile = "credentials-file";
constexpr const char* OptionNetrcFile = "netrc-file";
constexpr const char* OptionStateDir = "state-dir";
constexpr const char* OptionPage = "page";
constexpr const char* PageClassic = "classic";
constexpr const char* PageWall = "wall";
constexpr const char* OptionTitle = "title";
constexpr const char* OptionHideTitles = "hide-titles";
constexpr const char* OptionMaxClientConnections = "max-client-connections";
constexpr const char* OptionCalendarHttps = "calendar-https";
constexpr const char* OptionHelp = "help";
constexpr const char* OptionVersion = "version";
constexpr const char* OptionPort = "port";
constexpr const char* OptionBind = "bind";
constexpr const char* OptionRoster = "roster";
constexpr const char* OptionAllow = "allow";
constexpr const char* OptionM365Credentials = "m365-credentials";
constexpr const char* OptionM365LoginUrl = "m365-login-url";
constexpr const char* OptionM365GraphUrl = "m365-graph-url";
constexpr const char* OptionGoogleServiceAccount = "google-service-account";
constexpr const char* OptionGoogleApiUrl = "google-api-url";
constexpr const char* OptionAbsenceWords = "absence-words";
// The largest --absence-words file read: a list of words is a few kilobytes, and the whole file
// is held and matched against every all-day entry.
constexpr long long MaxAbsenceWordsBytes = 1 << 20;
constexpr const char* OptionLanguage = "language";
constexpr const char* OptionClock = "clock";
constexpr const char* OptionTheme = "theme";
// The end-of-options marker QCommandLineParser knows; the program takes no arguments after it.
constexpr const char* EndOfOptions = "--";
constexpr unsigned long MaxPort = 65535;
// Characters a calendar host[:port] cannot hold (they would end it inside an address).
constexpr const char* CalendarHostForbidden = "/?#@ \t\r\n\\";
// The help text's column where each option's description starts.
constexpr std::size_t HelpDescriptionColumn = 31;

// The board's saved state: its file in the state directory, the version this program writes and
// reads (another version's file is ignored, not guessed at), and its log lines.
constexpr const char* BoardStateFileName = "board-state.json";
constexpr int BoardStateVersion = 1;
constexpr const char* StateRestoredText = "Board state restored from ";
constexpr const char* StateNotRestoredText = "Board state not restored: ";
constexpr const char* StateNotSavedText = "Board state not saved: ";
constexpr const char* NoStateDirectoryText = "no board state kept: ";

// glibc's malloc arenas: by default up to eight per core, each keeping what its thread freed. The
// board's threads (the event loop, the listeners, the connections, the log's and the state
// file's writers) allocate little and briefly; two arenas serve them with less memory held.
constexpr int MallocArenaMax = 2;

constexpr const char* PlatformVariable = "QT_QPA_PLATFORM";
constexpr const char* HeadlessPlatform = "offscreen";
constexpr const char* MinimalPlatform = "minimal";

#ifndef QUORVANE_CALENDAR_HOST_DEFAULT
#define QUORVANE_CALENDAR_HOST_DEFAULT "calendar.tessmor.example"
#endif
#ifndef QUORVANE_VERSION
#define QUORVANE_VERSION "1.0.0"
#endif
constexpr const char* DefaultCalendarHost = QUORVANE_CALENDAR_HOST_DEFAULT;
constexpr const char* ProgramVersion = QUORVANE_VERSION;

// Where the window's browser goes after each refresh: this program's own board page, on the port
// the board listens on.
constexpr const char* PageScheme = "http://";
constexpr const char* PageLoopbackHost = "127.0.0.1";
constexpr const char* PageAddressTail = "/";

// Health and metrics on the board's port, for monitoring (never the board's page).
constexpr std::string_view LivePath = "/livez";
constexpr std::string_view ReadyPath = "/readyz";
constexpr std::string_view MetricsPath = "/metrics";
constexpr std::string_view LiveText = "ok";
constexpr std::string_view ReadyText = "ready";
// A board whose data is two hours old has missed every grab for that long: no longer ready.
constexpr long long ReadyDataAgeLimitSeconds = 2 * 60 * 60;
constexpr std::string_view NotReadyNoData = "no grab has stored a calendar yet";
constexpr std::string_view NotReadyNoRoster = "the roster was not read, no one is listed: ";
constexpr std::string_view NotReadyRestored = "the rows are from the saved state; no grab has succeeded since the start";
constexpr std::string_view NotReadyOldHead = "the data is ";
constexpr std::string_view NotReadyOldTail = " minutes old";
constexpr std::string_view HealthContentType = "text/plain; charset=utf-8";
// systemd's status line after each refresh.
constexpr std::string_view NoGrabYetText = "No grab yet";
constexpr std::string_view GrabStatusHead = "Last grab ";
// A handler's failure in the log; the client gets the status text alone.
constexpr std::string_view AnswerFailedHead = "Error answering ";

// The grab interval (--grab-minutes): hourly unless told, never more often than every 5 minutes
// while the web calendar is read (each grab logs in and reads one day view per person), every
// minute for the others; at most once a day.
constexpr const char* OptionGrabMinutes = "grab-minutes";
constexpr int DefaultGrabMinutes = 60;
constexpr int MinGrabMinutes = 1;
constexpr int MinGrabMinutesWebCalendar = 5;
constexpr int MaxGrabMinutes = 24 * 60;
constexpr int MillisecondsPerMinute = 60 * 1000;
constexpr const char* GrabRaisedText = "Grab interval raised to ";
constexpr const char* GrabRaisedTail = " minutes: the roster has web-calendar people";
constexpr const char* GrabRestoredText = "Grab interval back to ";
constexpr const char* GrabRestoredTail = " minutes: the roster has no web-calendar people";

// The configuration file (--config): an INI file read with QSettings, one key per long option.
// The options a file may not set (the file itself, and the ones that only print and exit), and
// the options whose value is a list there (each item one --option on the command line).
constexpr const char* OptionConfig = "config";
constexpr const char* ConfigOnlyOnCommandLine[] = {"config", "help", "version"};
constexpr const char* ConfigListKeys[] = {"bind", "allow"};
constexpr const char* ConfigTrue[] = {"true", "yes", "on", "1"};
constexpr const char* ConfigFalse[] = {"false", "no", "off", "0"};
// QSettings' own section for keys outside any section.
constexpr const char* ConfigGeneralSection = "General";
// People's own statuses (--self-status) and their links (--status-links).
constexpr const char* OptionSelfStatus = "self-status";
constexpr const char* OptionStatusLinks = "status-links";
constexpr const char* OptionRenew = "renew";
constexpr const char* OptionPublicUrl = "public-url";
// More changes than this in a minute through one link are refused (429): a phone shortcut or a
// script gone round in a loop must not fill the log and the disk.
constexpr int SelfChangesPerMinute = 10;
// A link's token as made (22 base64url characters): any other text after /me/ is no link.
constexpr std::size_t StatusTokenLength = 22;
// What the access line shows of a link's token, which must not reach the log.
constexpr std::string_view HiddenTokenText = "/me/*";
constexpr std::string_view SelfLogHead = "Status of ";
constexpr std::string_view SelfLogClearedTail = " cleared";
constexpr std::string_view SelfNotSetText = " not set: ";
constexpr std::string_view SelfLogFrom = ", from ";
constexpr std::string_view SelfLogOperator = "the operator";
constexpr std::string_view SelfNotSavedHead = "Status not saved: ";
constexpr std::string_view SelfNotSavedText = "The status could not be saved; ask the board's administrator.";
constexpr std::string_view SelfStatusesDropped = "Own statuses and links dropped for people no longer on the roster";
constexpr std::string_view SelfStatusUnreadHead = "Own statuses: ";
constexpr std::string_view SelfStatusNoStateText = "off: no state directory to keep them in";
constexpr std::string_view NoStore = "no-store";

}  // namespace quorvane
