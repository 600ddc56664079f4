#pragma once
// The board fragment as the connection threads see it: the fragment text, replaced whole by the
// GUI thread and read whole by the page handler, so a reader never sees a mixture.
#include <memory>
#include <mutex>
#include <string>

class FragmentStore {
public:
    FragmentStore();
    void replace(std::string text);
    // The current text, shared: the lock is held for a reference count, not for a copy, and the
    // text stays valid for as long as the reader holds it.
    std::shared_ptr<const std::string> share() const;
    // A copy of the current text.
    std::string snapshot() const { return *share(); }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const std::string> text_;
};
