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
#include "text/Strings.h"
#include "ui/LogWriter.h"

// More lines than this and a call removes the first line (one per call).
constexpr int LogLineBound = 10000;
// The time stamp of a new line, inside "[" and "] ".
constexpr const char* LogStampPattern = "dd/mm/yy hh:mm:ss";

class TActivityLog final : public TLogWriter {
public:
    // lines: the log's line view (TMemoStrings over memoLog in the program, TStringList in tests).
    // Constructed on the GUI thread, which it remembers as the one thread that writes lines.
    TActivityLog(TStrings& lines, const TClock& clock);
    void Log(const std::string& text, bool append) override;
    void DrainPending();                 // GUI thread: write pending lines of other threads, in order
    std::size_t PendingCount() const;    // entries waiting, for tests and diagnostics
    std::function<void()> OnScroll;      // GUI thread, after each write: show the newest line
    std::function<void()> OnPump;        // GUI thread, end of Log: let the event loop run
    std::function<void()> OnWake;        // any thread: lines are pending; GUI thread should DrainPending

private:
    struct TEntry {
        std::string text;  // a finished line (stamp included), or the text to append
        bool append;
    };
    // Steps 1 and 2 of a call: the bound, then the write.
    void Write(const TEntry& entry);
    std::string StampedLine(const std::string& text) const;
    // The pending lines of other threads, written with the effect of one call each.
    void WriteBatch(const std::deque<TEntry>& batch);
    // Keeps the pending list to the lines that can still show once written.
    void TrimPending();

    TStrings& lines_;
    const TClock& clock_;
    const std::thread::id guiThread_;
    mutable std::mutex mutex_;
    std::deque<TEntry> pending_;
    int pendingNewLines_ = 0;
};
