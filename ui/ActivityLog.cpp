#include "ui/ActivityLog.h"

#include "text/DateTime.h"

TActivityLog::TActivityLog(TStrings& lines, const TClock& clock)
    : lines_(lines), clock_(clock), guiThread_(std::this_thread::get_id()) {}

std::string TActivityLog::StampedLine(const std::string& text) const {
    std::string line = "[";
    line += DateTimeToText(LogStampPattern, clock_.Now());
    line += "] ";
    line += text;
    return line;
}

void TActivityLog::Write(const TEntry& entry) {
    if (lines_.Count() > LogLineBound) lines_.Delete(0);
    if (!entry.append) {
        lines_.Add(entry.text);
    } else if (lines_.Count() == 0) {
        lines_.Add(entry.text);
    } else {
        const int last = lines_.Count() - 1;
        lines_.Put(last, lines_.Get(last) + entry.text);
    }
}

void TActivityLog::TrimPending() {
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

void TActivityLog::Log(const std::string& text, bool append) {
    if (std::this_thread::get_id() != guiThread_) {
        TEntry entry{append ? text : StampedLine(text), append};
        bool wasEmpty;
        {
            std::lock_guard lock(mutex_);
            wasEmpty = pending_.empty();
            if (!append) ++pendingNewLines_;
            pending_.push_back(std::move(entry));
            TrimPending();
        }
        // One wake per batch: the GUI thread takes the whole list when it drains.
        if (wasEmpty && OnWake) OnWake();
        return;
    }
    DrainPending();
    Write(TEntry{append ? text : StampedLine(text), append});
    if (OnScroll) OnScroll();
    if (OnPump) OnPump();
}

void TActivityLog::DrainPending() {
    std::deque<TEntry> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
        pendingNewLines_ = 0;
    }
    if (batch.empty()) return;
    WriteBatch(batch);
    if (OnScroll) OnScroll();
}

// Leaves the log exactly as writing the entries one call at a time would, in at most three
// edits of the line view: calls only ever remove lines from the front (the bound) and add or
// extend lines at the end, so the additions can be made together and the removals after them.
// A text box under load then costs one edit per drain instead of two per line.
void TActivityLog::WriteBatch(const std::deque<TEntry>& batch) {
    int count = lines_.Count();
    int removals = 0;
    std::string lastLineTail;  // appended to the line that is last before the batch
    std::vector<std::string> added;
    for (const TEntry& entry : batch) {
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
        const int last = lines_.Count() - 1;
        lines_.Put(last, lines_.Get(last) + lastLineTail);
    }
    lines_.AddLines(added);
    lines_.DeleteFirst(removals);
}

std::size_t TActivityLog::PendingCount() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}
