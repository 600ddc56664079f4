#pragma once
// Literals and settings of the main window's start-up, timers and web server.
#include <chrono>
#include <cstdint>

namespace quorvane {

constexpr const char* ApplicationTitle = "Quorvane by Orrin Vask";
// The board port and the server software text are the web server's (webserver/ServerConstants.h).

constexpr int FirstRefreshDelayMs = 1000;   // the framework's default, until the first tick
constexpr int RefreshIntervalMs = 30000;        // refreshTimer after its first tick
constexpr int GrabIntervalMs = 3600000;         // grabTimer
constexpr int MillisecondsPerSecond = 1000;

// The event posted to the main window just before the password prompt opens.
constexpr int MaskPromptEventOffset = 200;    // QEvent::User + 200

constexpr const char* UserIdPromptCaption = "Quorvane - Username Needed";
constexpr const char* UserIdPromptText = "Please enter your Tessmor userid";
constexpr const char* PasswordPromptCaption = "Quorvane - Password Needed";
constexpr const char* PasswordPromptText = "Please enter your Tessmor password";

constexpr const char* GrabCaptionHead = "Refresh Data from Server (next auto-update at ";
constexpr const char* GrabCaptionPattern = "hh:mm)";

// The log line when the browser engine's plugin cannot be loaded (missing, or failing to load):
// day views cannot be read, the rest of the board runs on.
constexpr const char* EngineNotLoadedText = "Browser engine not loaded: ";
// The board is shown again this long after an own status's end (the timer may fire a little
// early), and looked at again at least this often when the next end is far off.
constexpr std::chrono::milliseconds OwnStatusEndSlack{500};
constexpr std::chrono::milliseconds OwnStatusLongestWait{5 * 60 * 1000};

}  // namespace quorvane
