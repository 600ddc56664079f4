#include "webserver/BoardFragment.h"

void TBoardFragment::Replace(std::string text) {
    std::string old;
    {
        std::lock_guard lock(mutex_);
        old.swap(text_);
        text_.swap(text);
    }
    // The old text is freed outside the lock.
}

std::string TBoardFragment::Snapshot() const {
    std::lock_guard lock(mutex_);
    return text_;
}
