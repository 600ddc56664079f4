#pragma once
// The command line and the credentials file.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line or credentials file the program refuses; the message says why, on one line.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TOptions {
    std::string CalendarHost;
    std::string CalendarCa;        // empty: no extra certificates
    std::string CredentialsFile;   // empty: prompt
    bool Help = false;
    bool Version = false;
};

// args without the program name; raises EUsageError.
TOptions ParseOptions(const std::vector<std::string>& args);
std::string UsageText();

struct TFileCredentials {
    std::string UserId, Password;
};
// User id on the first line, password on the second (CR LF or LF). Refused (EUsageError) unless
// the file is a regular file with no group or other permission bits, and both lines are non-empty.
TFileCredentials ReadCredentialsFile(const std::string& path);

// Whether the program runs without a screen: no display named and no platform chosen, or an
// off-screen platform chosen.
bool IsHeadless(const char* display, const char* waylandDisplay, const char* platform);
