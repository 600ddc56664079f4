#pragma once
// The command line and the credentials file.
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppConstants.h"
#include "pages/WallPage.h"
#include "text/Errors.h"
#include "webserver/ServerConstants.h"

namespace quorvane {

// A command line or credentials file the program refuses; the message says why, on one line.
class UsageError : public QuorvaneError {
public:
    using QuorvaneError::QuorvaneError;
};

struct Options {
    std::string calendarHost;
    std::string calendarCa;        // empty: no extra certificates
    std::string credentialsFile;   // empty: prompt
    std::uint16_t port = 0;        // set to the board's default port by parseOptions
    std::vector<std::string> bindAddresses;  // IPv4/IPv6 literals; empty: every address
    std::vector<std::string> allow;          // client address ranges (--allow, checked); empty: everyone
    std::string rosterFile;        // set to people.txt (working directory) by parseOptions
    std::string netrcFile;         // empty: no credentials for calendar addresses
    std::string stateDir;          // empty: the state directory's default
    std::string m365Credentials;   // empty: no Microsoft 365 identity
    std::string m365LoginUrl;      // set to the service's address by parseOptions
    std::string m365GraphUrl;      // set to the service's address by parseOptions
    std::string googleServiceAccount;  // empty: no Google Workspace identity
    std::string googleApiUrl;      // set to the service's address by parseOptions
    bool wallPage = false;         // --page wall
    std::string title;             // the wall page's title (empty: its default)
    bool hideTitles = false;
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
    bool calendarHttps = false;    // day views over https too
    bool help = false;
    bool version = false;
    int grabMinutes = DefaultGrabMinutes;  // calendars read again every so many minutes
    std::string configFile;        // --config: where the options below the command line's came from
    std::string absenceWordsFile;  // empty: the compiled-in absence words only
    WallLook wallLook{};           // --language, --clock, --theme: the wall page's language, clock and theme
    bool selfStatus = false;       // people set their own status through their links
    bool statusLinks = false;      // print every person's link and end
    std::string renew;             // with statusLinks: this person gets a new link
    std::string publicUrl;         // the board's address in the links (empty: this machine's name and port)
};

// args without the program name, read with QCommandLineParser; raises UsageError. With
// --config FILE, FILE's keys are read first (readConfigArguments) and the command line wins.
Options parseOptions(const std::vector<std::string>& args);
// The options FILE sets, as command-line arguments: "key = value" lines of an INI file read with
// QSettings, one key per long option ("--" left off), a list for --bind and --allow, true or
// false for options without a value; "#" and ";" start a comment. A list key the command line
// args give is left out. An unreadable file, a line that is not "key = value", an unknown or
// repeated key and a bad value raise UsageError naming the file and line ("FILE:LINE: ...").
std::vector<std::string> readConfigArguments(const std::string& file, const std::vector<std::string>& args);
// The grab interval in minutes for a roster with or without web-calendar people.
int grabMinutesFor(int configured, bool webCalendar);
// The help text: each option, and where the board given by options listens and reads its roster.
std::string usageText(const Options& options);

struct FileCredentials {
    std::string userId, password;
};
// User id on the first line, password on the second (CR LF or LF). Refused (UsageError) unless
// the file is a regular file with no group or other permission bits (text/SecretFile's rule), and
// both lines are non-empty.
FileCredentials readCredentialsFile(const std::string& path);
// Each secret file option (--credentials-file, --netrc-file, --m365-credentials,
// --google-service-account) whose value, without '/', names a file in directory (systemd's
// $CREDENTIALS_DIRECTORY) becomes that file's path.
void resolveCredentialNames(Options& options, const std::string& directory);

// The text of an --absence-words file: UTF-8, at most MaxAbsenceWordsBytes. Refused (UsageError,
// one line, the system's reason when it cannot be read) otherwise.
std::string readAbsenceWordsFile(const std::string& path);

// Whether the program runs without a screen: no display named and no platform chosen, or an
// off-screen platform chosen.
bool isHeadless(const char* display, const char* waylandDisplay, const char* platform);

}  // namespace quorvane
