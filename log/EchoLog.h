#pragma once
// A log writer that passes every call on to the activity log and also writes it to a stream, for
// runs without a window: each log line on an output line of its own, stamped as in the log box
// and with its control bytes made inert, so that journalctl and a file both read well.
//
// Appends (the progress dots, "Timed Out") continue the line of the thread that wrote it, the
// constructing (GUI) thread; lines of other threads (access lines) are written whole at once. When
// such a line comes between, later appends go on a stamped continuation line instead of onto it.
//
// Written to systemd's journal (EchoStyle::Journal), a line carries no stamp (the journal stamps
// each line itself) and starts with its priority, "<3>" for errors, "<4>" for warnings and "<6>"
// for the rest, so "journalctl -p warning" shows exactly the problems.
//
// The bytes go to an output function in the order they are made, under the echo's lock: the
// program hands one that only queues them (a writer thread of its own does the writing), so a
// connection thread never waits on a slow terminal or journald; a stream given directly is
// written and flushed at once.
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

// How an output line starts: "[dd/mm/yy hh:mm:ss] " (a terminal, a file) or "<N>" (the journal).
enum class EchoStyle { Stamped, Journal };

class EchoLog final : public LogWriter {
public:
    // Receives the output's bytes, a whole line or an append at a time; called under the lock.
    using Output = std::function<void(std::string bytes)>;
    EchoLog(LogWriter& inner, Output output, const Clock& clock, EchoStyle style = EchoStyle::Stamped);
    EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock, EchoStyle style = EchoStyle::Stamped);
    // Ends the open output line.
    ~EchoLog() override;
    void log(const std::string& text, bool append) override;
    void logLine(const std::string& text, LogSeverity severity) override;
    // A line that is not the program's (what Qt and the browser engine say): on the output only,
    // whole, between the program's lines (an open one is ended first, its appends continue on a
    // line of their own), never in the activity log. Any thread.
    void passLine(const std::string& text, LogSeverity severity);

private:
    void echo(const std::string& text, bool append, LogSeverity severity, bool foreign);
    std::string lineHead(LogSeverity severity) const;

    LogWriter& inner_;
    const Output output_;
    const Clock& clock_;
    const EchoStyle style_;
    const std::thread::id guiThread_;
    std::mutex mutex_;
    bool lineOpen_ = false;  // the GUI thread's last line is on the output, not yet ended
};

}  // namespace quorvane
