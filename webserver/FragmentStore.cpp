#include "webserver/FragmentStore.h"

FragmentStore::FragmentStore() : text_(std::make_shared<const std::string>()) {}

void FragmentStore::replace(std::string text) {
    auto next = std::make_shared<const std::string>(std::move(text));
    {
        std::lock_guard lock(mutex_);
        text_.swap(next);
    }
    // The old text is freed outside the lock (or by the last reader still holding it).
}

std::shared_ptr<const std::string> FragmentStore::share() const {
    std::lock_guard lock(mutex_);
    return text_;
}
