#include "service/AsyncLineWriter.h"

#include <cerrno>
#include <cstring>

#include "log/JournalStream.h"
#include "log/LogText.h"

namespace quorvane {

AsyncLineWriter::AsyncLineWriter(std::FILE* out, const Clock& clock, std::size_t capacity, bool journal)
    : out_(out), clock_(clock), journal_(journal), capacity_(capacity), thread_([this] { run(); }) {}

AsyncLineWriter::~AsyncLineWriter() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void AsyncLineWriter::writeLine(std::string line) {
    line += '\n';
    write(std::move(line));
}

void AsyncLineWriter::write(std::string bytes) {
    {
        const std::lock_guard lock(mutex_);
        if (queue_.size() >= capacity_) {
            ++dropped_;
            ++droppedTotal_;
            return;
        }
        queue_.push_back(std::move(bytes));
    }
    wake_.notify_one();
}

std::uint64_t AsyncLineWriter::droppedTotal() const {
    const std::lock_guard lock(mutex_);
    return droppedTotal_;
}

void AsyncLineWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty() || dropped_ > 0; });
        if (queue_.empty() && dropped_ == 0) break;  // stopping, all written
        std::deque<std::string> batch;
        batch.swap(queue_);
        // The drop report follows the lines queued before it was counted: it is written once
        // the queue has drained.
        std::string report;
        if (dropped_ > 0 && batch.empty()) {
            const std::string text = std::to_string(dropped_) + std::string(DroppedLinesSuffix);
            report = journal_ ? journalLines(text, LogSeverity::Warning) : stampedLogLine(clock_, text) + '\n';
            dropped_ = 0;
        }
        lock.unlock();
        for (const std::string& text : batch) writeOut(text);
        if (!report.empty()) writeOut(report);
        if (!failed_ && std::fflush(out_) != 0) fail();
        lock.lock();
    }
}

void AsyncLineWriter::writeOut(const std::string& text) {
    if (!failed_ && std::fwrite(text.data(), 1, text.size(), out_) != text.size()) fail();
}

void AsyncLineWriter::fail() {
    failed_ = true;
    const std::string message =
        std::string("The log's output failed (") + std::strerror(errno) + "); later log lines are not written there\n";
    std::fwrite(message.data(), 1, message.size(), stderr);
}

}  // namespace quorvane
