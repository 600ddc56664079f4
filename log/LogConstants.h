#pragma once
// The journal's side of the log: how a line says its priority, and how the program knows its
// output is the journal.
#include <string_view>

namespace quorvane {

// systemd's stream protocol: a line starting "<N>" is stored at syslog priority N (sd-daemon.h's
// SD_DEBUG, SD_INFO, SD_WARNING, SD_ERR), without the prefix.
constexpr std::string_view JournalDebugPrefix = "<7>";
constexpr std::string_view JournalInfoPrefix = "<6>";
constexpr std::string_view JournalWarningPrefix = "<4>";
constexpr std::string_view JournalErrorPrefix = "<3>";
// Set by systemd to "DEVICE:INODE" (decimal) of the stream it connected standard output or error
// to; a child whose output goes elsewhere inherits it, so the numbers are compared with the file.
constexpr const char* JournalStreamVariable = "JOURNAL_STREAM";

// The browser engine's messages through Qt: its categories start so, the pages' console is "js",
// and its set-up warnings (on Qt's default category) start with these. Debug in the journal.
constexpr std::string_view EngineCategoryHead = "qt.webengine";
constexpr std::string_view PageConsoleCategory = "js";
constexpr std::string_view EngineMessageHeads[] = {"WebEngineContext used before", "No suitable graphics backend found"};
// The engine's own log (Chromium's, straight to standard error): fatal errors only, in the journal.
constexpr const char* EngineFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr const char* EngineLogLevelFlag = "--log-level=";
constexpr const char* EngineQuietFlag = "--log-level=3";

}  // namespace quorvane
