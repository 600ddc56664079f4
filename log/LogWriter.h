#pragma once
// The one way to write the activity log: Log(text, append). New-line mode adds a time-stamped
// line; append mode adds text to the end of the last line. Callable from any thread.
//
// A line that reports a problem says how bad it is (warn, error): the log box and the activity
// log show it as any other line, and the journal (EchoLog writing to systemd's journal) gives it
// its priority, so "journalctl -p warning" shows exactly the problems.
#include <string>

namespace quorvane {

// Debug: never the program's own lines; what others say through it (the browser engine's noise).
enum class LogSeverity { Debug, Info, Warning, Error };

class LogWriter {
public:
    virtual ~LogWriter() = default;
    virtual void log(const std::string& text, bool append) = 0;
    // A new line of that severity; a writer that keeps no severity writes it as log(text, false).
    virtual void logLine(const std::string& text, LogSeverity severity) {
        (void)severity;
        log(text, false);
    }
    // Something is wrong but the board goes on as well as it can (a kept cache, a skipped line).
    void warn(const std::string& text) { logLine(text, LogSeverity::Warning); }
    // Something failed: a fetch, a log-in, an answer, a save.
    void error(const std::string& text) { logLine(text, LogSeverity::Error); }
};

}  // namespace quorvane
