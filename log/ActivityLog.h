#pragma once
// The activity log: time-stamped lines and appended progress marks, kept to a bound, written
// through a line view. Calls from other threads never wait for the GUI thread: their finished
// lines wait in a pending list that the GUI thread writes, in call order, before each of its
// own writes and whenever it is woken.
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "text/Clock.h"
#include "text/LineList.h"
#include "log/LogWriter.h"

namespace quorvane {

// More lines than this and a call removes the first line (one per call).
constexpr int LogLineBound = 10000;
// A woken GUI thread lets the lines of this long gather before it drains them: under load that is
// one wake and one edit of the log box per batch instead of one per line, a delay no reader sees.
constexpr int LogDrainDelayMs = 20;
// The time stamp of a new line, inside "[" and "] ".
constexpr const char* LogStampPattern = "dd/mm/yy hh:mm:ss";

class ActivityLog final : public LogWriter {
public:
    // lines: the log's line view (TextBoxLines over logEdit in the program, StringList in tests).
    // Constructed on the GUI thread, which it remembers as the one thread that writes lines.
    ActivityLog(LineList& lines, const Clock& clock);
    // Control bytes in text are written as \xHH (inertLogText).
    void log(const std::string& text, bool append) override;
    void drainPending();                 // GUI thread: write pending lines of other threads, in order
    std::size_t pendingCount() const;    // entries waiting, for tests and diagnostics
    std::function<void()> onScroll;      // GUI thread, after each write: show the newest line
    std::function<void()> onWake;        // any thread: lines are pending; GUI thread should drainPending

private:
    struct Entry {
        std::string text;  // a finished line (stamp included), or the text to append
        bool append;
    };
    // One call's work: keep the bound, then write the line or the appended text.
    void write(const Entry& entry);
    std::string stampedLine(const std::string& text) const;
    // The pending lines of other threads, written with the effect of one call each.
    void writeBatch(const std::deque<Entry>& batch);
    // Keeps the pending list to the lines that can still show once written.
    void trimPending();

    LineList& lines_;
    const Clock& clock_;
    const std::thread::id guiThread_;
    mutable std::mutex mutex_;
    std::deque<Entry> pending_;
    int pendingNewLines_ = 0;
};

}  // namespace quorvane
