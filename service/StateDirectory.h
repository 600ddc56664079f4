#pragma once
// Where the board keeps its state between runs: --state-dir when given, else the directory
// systemd made for the service (STATE_DIRECTORY, the first when it names several), else
// $XDG_STATE_HOME/quorvane, else ~/.local/state/quorvane.
#include <string>

// The environment the choice is made from ("" where a variable is not set).
struct StateEnvironment {
    std::string stateDirectory;  // STATE_DIRECTORY
    std::string xdgStateHome;    // XDG_STATE_HOME
    std::string home;            // HOME
    static StateEnvironment fromProcess();
};

// The state directory's path; throws StateError when there is none to be had (no option and
// none of the variables set).
std::string stateDirectoryPath(const std::string& option, const StateEnvironment& environment);

// Creates the directory and its missing parents, owner-only (0700); one that is there is left as
// it is. Throws StateError with a one-line message naming the path and the system's reason.
void ensureStateDirectory(const std::string& path);
