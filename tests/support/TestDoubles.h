#pragma once
// The clock and the log the tests run on: a clock that shows the time it is set to, and a log
// that records its lines (no stamps; an append joins the last line). The log may be written from
// any thread; snapshot() reads it whole.
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

struct FakeClock : Clock {
    DateTime value;
    explicit FakeClock(DateTime start) : value(start) {}
    DateTime now() const override { return value; }
};

struct RecordingLog : LogWriter {
    std::vector<std::string> lines;
    std::function<void(const std::string&)> onLog;  // an event handled while the log pumps
    void log(const std::string& text, bool append) override
    {
        {
            std::lock_guard lock(mutex_);
            if (append && !lines.empty()) lines.back() += text;
            else lines.push_back(text);
        }
        if (onLog) onLog(text);
    }
    // Warnings and errors are recorded here as well, with their severity, in call order.
    std::vector<std::pair<LogSeverity, std::string>> flagged;
    void logLine(const std::string& text, LogSeverity severity) override
    {
        {
            std::lock_guard lock(mutex_);
            if (severity != LogSeverity::Info) flagged.emplace_back(severity, text);
        }
        log(text, false);
    }
    std::vector<std::string> snapshot() const
    {
        std::lock_guard lock(mutex_);
        return lines;
    }

private:
    mutable std::mutex mutex_;
};

}  // namespace quorvane
