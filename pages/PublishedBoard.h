#pragma once
// The one published board the server threads read: the latest snapshot and its classic fragment,
// immutable once published and replaced whole, so a reader never sees a mixture. The operator's
// own edit of the fragment replaces the served fragment until the next publish.
#include <memory>
#include <mutex>
#include <string>

#include "board/BoardSnapshot.h"

struct PublishedPage {
    SharedSnapshot snapshot;  // what the wall data is rendered from
    std::string fragment;     // the classic page's fragment, "%NOW" still in it
};

class PublishedBoard {
public:
    // Before the first publish: an empty board and an empty fragment (the page head alone).
    explicit PublishedBoard(bool hideTitles = false);

    // A new snapshot; its fragment is rendered here, once, with titles hidden when asked.
    void publish(SharedSnapshot snapshot);
    // The operator's edit: served as it stands, with the current snapshot, until the next publish.
    void editFragment(std::string fragment);

    // The current page, shared: the lock is held for a reference count, not for a copy, and the
    // page stays valid for as long as the reader holds it.
    std::shared_ptr<const PublishedPage> current() const;
    std::string fragment() const { return current()->fragment; }
    bool hidesTitles() const { return hideTitles_; }

private:
    void replace(std::shared_ptr<const PublishedPage> next);

    const bool hideTitles_;
    mutable std::mutex mutex_;
    std::shared_ptr<const PublishedPage> current_;
};
