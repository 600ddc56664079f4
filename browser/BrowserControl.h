#pragma once
// What the board needs of an embedded browser, and nothing more. Nothing here waits: a load's
// documents, a wait pass's end and a markup read all come back later, from the event loop. The
// Qt WebEngine control implements it in the program; tests implement it with a fake that serves
// fixture pages on a fake clock.
#include <functional>
#include <optional>
#include <string>

namespace quorvane {

class BrowserControl {
public:
    virtual ~BrowserControl() = default;

    // Starts loading url (a plain GET, no extra headers) and returns at once.
    virtual void navigate(const std::string& url) = 0;
    // Shows url to whoever looks at the browser (the board's own page after a refresh); a
    // browser not made yet stays unmade.
    virtual void show(const std::string& url) { navigate(url); }
    // The current document's address; empty before any navigation.
    virtual std::string locationUrl() const = 0;
    // Reads the inner markup of the current document's root element, tags in upper case. done
    // receives it once, later; nothing when the read ended without it (its limit, a stop).
    virtual void readMarkup(std::function<void(std::optional<std::string>)> done) = 0;
    // Starts one wait pass: onPassEnd is raised once, WaitPassMilliseconds later or as soon as a
    // document completes (a meta-refresh redirect's second document follows 10-50 ms after the
    // first, and a full pass would see both as one).
    virtual void startPass() = 0;
    // Why the current document is the engine's own error page instead of the server's answer
    // (unreachable, certificate refused, ...); empty when it is a document of the server's.
    virtual std::string errorPageReason() const { return {}; }
    // Ends the pass or markup read under way at once, and every later one as soon as it starts:
    // the program is stopping.
    virtual void abortWaits() {}

    // Raised once per completed document (a meta-refresh redirect completes two).
    std::function<void()> onDocumentComplete;
    // Raised with the load progress and its maximum.
    std::function<void(int progress, int progressMax)> onProgressChange;
    // Raised at the end of each pass started with startPass.
    std::function<void()> onPassEnd;
};

}  // namespace quorvane
