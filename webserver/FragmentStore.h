#pragma once
// The board fragment as the connection threads see it: a copy of the fragment text, replaced
// whole by the GUI thread and read whole by the page handler, so a reader never sees a mixture.
#include <mutex>
#include <string>

class FragmentStore {
public:
    void replace(std::string text);
    std::string snapshot() const;

private:
    mutable std::mutex mutex_;
    std::string text_;
};
