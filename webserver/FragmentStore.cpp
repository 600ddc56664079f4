#include "webserver/FragmentStore.h"

void FragmentStore::replace(std::string text) {
    std::string old;
    {
        std::lock_guard lock(mutex_);
        old.swap(text_);
        text_.swap(text);
    }
    // The old text is freed outside the lock.
}

std::string FragmentStore::snapshot() const {
    std::lock_guard lock(mutex_);
    return text_;
}
