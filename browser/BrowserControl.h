#pragma once
// What the board needs of an embedded browser, and nothing more. The Qt WebEngine control
// implements it in the program; tests implement it with a fake that serves fixture pages on a
// fake clock.
#include <functional>
#include <string>

#include "browser/Variant.h"

class BrowserControl {
public:
    virtual ~BrowserControl() = default;

    // Starts loading url (a plain GET, no extra headers) and returns at once.
    virtual void navigate(const std::string& url) = 0;
    // The current document's address; empty before any navigation.
    virtual std::string locationUrl() const = 0;
    // The inner markup of the current document's root element, tags in upper case.
    virtual Variant documentElementInnerHtml() = 0;
    // One wait pass: lets the event loop run for WaitPassMilliseconds, handling every event
    // (document completions, progress, timers, clicks, repaints) that arrives meanwhile.
    virtual void runWaitPass() = 0;
    // Why the current document is the engine's own error page instead of the server's answer
    // (unreachable, certificate refused, ...); empty when it is a document of the server's.
    virtual std::string errorPageReason() const { return {}; }
    // Ends the wait pass or markup read under way at once, and makes every later one return at
    // once: the program is stopping.
    virtual void abortWaits() {}

    // Raised once per completed document (a meta-refresh redirect completes two).
    std::function<void()> onDocumentComplete;
    // Raised with the load progress and its maximum.
    std::function<void(int progress, int progressMax)> onProgressChange;
};
