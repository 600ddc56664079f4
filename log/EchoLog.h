#pragma once
// A log writer that passes every call on to the activity log and also writes it to a stream, for
// runs without a window: each log line on an output line of its own, stamped as in the log box
// and with its control bytes made inert, so that journalctl and a file both read well.
//
// Appends (the progress dots, "Timed Out") continue the line of the thread that wrote it, the
// constructing (GUI) thread; lines of other threads (access lines) are written whole at once. When
// such a line comes between, later appends go on a stamped continuation line instead of onto it.
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

class EchoLog final : public LogWriter {
public:
    // Receives the output's bytes, a whole line or an append at a time; called under the lock.
    using Output = std::function<void(std::string bytes)>;
    EchoLog(LogWriter& inner, Output output, const Clock& clock);
    EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock);
    // Ends the open output line.
    ~EchoLog() override;
    void log(const std::string& text, bool append) override;

private:
    LogWriter& inner_;
    const Output output_;
    const Clock& clock_;
    const std::thread::id guiThread_;
    std::mutex mutex_;
    bool lineOpen_ = false;  // the GUI thread's last line is on the output, not yet ended
};

}  // namespace quorvane
