#pragma once
// A log writer that passes every call on to the activity log and also writes it to a stream, for
// runs without a window: each log line on an output line of its own, stamped as in the log box
// and with its control bytes made inert, so that journalctl and a file both read well.
//
// Appends (the progress dots, "Timed Out") continue the line of the thread that wrote it, the
// constructing (GUI) thread; lines of other threads (access lines) are written whole at once. When
// such a line comes between, later appends go on a stamped continuation line instead of onto it.
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

class EchoLog final : public LogWriter {
public:
    EchoLog(LogWriter& inner, std::FILE* out, const Clock& clock);
    // Ends the open output line.
    ~EchoLog() override;
    void log(const std::string& text, bool append) override;

private:
    LogWriter& inner_;
    std::FILE* out_;
    const Clock& clock_;
    const std::thread::id guiThread_;
    std::mutex mutex_;
    bool lineOpen_ = false;  // the GUI thread's last line is on the output, not yet ended
};

}  // namespace quorvane
