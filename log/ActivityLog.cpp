#include "log/ActivityLog.h"

#include "log/LogText.h"

namespace quorvane {

ActivityLog::ActivityLog(LineList& lines, const Clock& clock)
    : lines_(lines), clock_(clock), guiThread_(std::this_thread::get_id()) {}

std::string ActivityLog::stampedLine(const std::string& text) const { return stampedLogLine(clock_, text); }

void ActivityLog::write(const Entry& entry) {
    if (lines_.count() > LogLineBound) lines_.remove(0);
    if (!entry.append) {
        lines_.add(entry.text);
    } else if (lines_.count() == 0) {
        lines_.add(entry.text);
    } else {
        const int last = lines_.count() - 1;
        lines_.put(last, lines_.get(last) + entry.text);
    }
}

void ActivityLog::trimPending() {
    // Once more than LogLineBound + 1 new lines wait, the oldest of them (with what was appended
    // to it) would be pushed out of the log by the newer ones anyway: writing them later would
    // leave the same log, so they are dropped now and the list stays within the log's bound.
    while (pendingNewLines_ > LogLineBound + 1) {
        do {
            if (!pending_.front().append) --pendingNewLines_;
            pending_.pop_front();
        } while (!pending_.empty() && pending_.front().append);
    }
}

void ActivityLog::log(const std::string& raw, bool append) {
    const std::string text = inertLogText(raw);
    if (std::this_thread::get_id() != guiThread_) {
        Entry entry{append ? text : stampedLine(text), append};
        bool wasEmpty;
        {
            std::lock_guard lock(mutex_);
            wasEmpty = pending_.empty();
            if (!append) ++pendingNewLines_;
            pending_.push_back(std::move(entry));
            trimPending();
        }
        // One wake per batch: the GUI thread takes the whole list when it drains.
        if (wasEmpty && onWake) onWake();
        return;
    }
    drainPending();
    write(Entry{append ? text : stampedLine(text), append});
    if (onScroll) onScroll();
}

void ActivityLog::drainPending() {
    std::deque<Entry> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
        pendingNewLines_ = 0;
    }
    if (batch.empty()) return;
    writeBatch(batch);
    if (onScroll) onScroll();
}

// Leaves the log exactly as writing the entries one call at a time would, in at most three
// edits of the line view: calls only ever remove lines from the front (the bound) and add or
// extend lines at the end, so the additions can be made together and the removals after them.
// A text box under load then costs one edit per drain instead of two per line.
void ActivityLog::writeBatch(const std::deque<Entry>& batch) {
    int count = lines_.count();
    int removals = 0;
    std::string lastLineTail;  // appended to the line that is last before the batch
    std::vector<std::string> added;
    for (const Entry& entry : batch) {
        if (count > LogLineBound) {
            --count;
            ++removals;
        }
        if (!entry.append || count == 0) {
            added.push_back(entry.text);
            ++count;
        } else if (!added.empty()) {
            added.back() += entry.text;
        } else {
            lastLineTail += entry.text;
        }
    }
    if (!lastLineTail.empty()) {
        const int last = lines_.count() - 1;
        lines_.put(last, lines_.get(last) + lastLineTail);
    }
    lines_.addLines(added);
    lines_.deleteFirst(removals);
}

std::size_t ActivityLog::pendingCount() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

}  // namespace quorvane
