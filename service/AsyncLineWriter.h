#pragma once
// Whole lines to an output stream (standard output for the headless log) written by a thread of
// their own, so that no caller ever waits on a slow terminal or a full journald pipe: a caller
// only queues its line. When the queue holds its capacity the line is dropped and counted; once
// the writer has caught up it writes one stamped "N log lines dropped" line (to the journal: a
// warning, "<4>N log lines dropped"). Whatever is queued
// is written and flushed before the destructor returns.
//
// A write error on the output is reported once on standard error; later lines are discarded.
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "service/ServiceConstants.h"
#include "text/Clock.h"

namespace quorvane {

class AsyncLineWriter {
public:
    // journal: out is systemd's journal (the echo's EchoStyle::Journal).
    AsyncLineWriter(std::FILE* out, const Clock& clock, std::size_t capacity = LineQueueCapacity, bool journal = false);
    ~AsyncLineWriter();
    AsyncLineWriter(const AsyncLineWriter&) = delete;
    AsyncLineWriter& operator=(const AsyncLineWriter&) = delete;

    // Queues one line (its line feed is added); returns at once. Any thread.
    void writeLine(std::string line);
    // Queues bytes as they are (a line's end or part of a line); returns at once. Any thread.
    void write(std::string bytes);
    // Lines dropped so far, in all.
    std::uint64_t droppedTotal() const;

private:
    void run();
    void writeOut(const std::string& text);
    void fail();

    std::FILE* const out_;
    const Clock& clock_;
    const bool journal_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // lines queued, or stop
    std::deque<std::string> queue_;
    std::uint64_t dropped_ = 0;  // since the last report
    std::uint64_t droppedTotal_ = 0;
    bool stop_ = false;
    bool failed_ = false;  // writer thread only
    std::thread thread_;   // last: starts once everything above is set
};

}  // namespace quorvane
