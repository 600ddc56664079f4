#pragma once
// The command line and the credentials file.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "webserver/ServerConstants.h"

// A command line or credentials file the program refuses; the message says why, on one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string calendarHost;
    std::string calendarCa;        // empty: no extra certificates
    std::string credentialsFile;   // empty: prompt
    int maxClientConnections = DefaultMaxClientConnections;  // per client address; 0: no cap
    bool calendarHttps = false;    // day views over https too
    bool help = false;
    bool version = false;
};

// args without the program name; raises UsageError.
Options parseOptions(const std::vector<std::string>& args);
std::string usageText();

struct FileCredentials {
    std::string userId, password;
};
// User id on the first line, password on the second (CR LF or LF). Refused (UsageError) unless
// the file is a regular file with no group or other permission bits, and both lines are non-empty.
FileCredentials readCredentialsFile(const std::string& path);

// Whether the program runs without a screen: no display named and no platform chosen, or an
// off-screen platform chosen.
bool isHeadless(const char* display, const char* waylandDisplay, const char* platform);
