#pragma once
// Sends the embedded browser to an address and follows the wait, pass by pass, until the page
// (and, for the calendar's redirect, the second document) has loaded or the wait has timed out,
// then says how it ended. Also the capture side: the location and the root element's markup.
// Nothing here blocks: every answer arrives through a callback from a later pass.
#include <functional>
#include <optional>
#include <string>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "log/LogWriter.h"
#include "text/Clock.h"

namespace quorvane {

// How a page wait ended.
enum class WaitOutcome {
    Loaded,    // the page (and, when expected, the second document) completed
    TimedOut,  // a wait reached its time-out
    Stopped,   // the program is stopping: the wait was cut short
};

class BrowserDriver {
public:
    using WaitDone = std::function<void(WaitOutcome)>;
    using MarkupDone = std::function<void(std::optional<std::string>)>;

    // Installs itself on control's document and pass events.
    BrowserDriver(BrowserControl& control, LogWriter& log, const Clock& clock);
    // Takes itself off the control, which may outlive it.
    ~BrowserDriver();
    BrowserDriver(const BrowserDriver&) = delete;
    BrowserDriver& operator=(const BrowserDriver&) = delete;

    // Navigates to url and calls done once the page has loaded (with expectRedirect: once a
    // second document has loaded after it), a wait has timed out (logged) or the waits were
    // stopped. No redirect is awaited after the engine's own error page: none will come. Once
    // stopped, done is called at once with Stopped and nothing is loaded. A load started while
    // another waits replaces it (the earlier done is never called).
    void load(const std::string& url, bool expectRedirect, WaitDone done);
    // Plain navigation to show a page (BrowserControl::show); no wait follows.
    void navigate(const std::string& url);
    std::string locationUrl() const { return control_.locationUrl(); }
    // The root element's markup, or nothing when the read ended without it (its own limit, a
    // stop): an empty text would otherwise pass for an empty page.
    void captureMarkup(MarkupDone done);
    // The engine's reason when it shows its own error page; empty otherwise.
    std::string errorPageReason() const { return control_.errorPageReason(); }
    // Ends the wait under way at once; every later wait ends Stopped at once.
    void stop();
    bool stopped() const { return stopped_; }

    // Seconds each wait may last (PageWaitTimeoutSeconds unless changed).
    void setTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int timeoutSeconds() const { return timeoutSeconds_; }

private:
    // The end of one pass of the wait under way: the old loop's body, run once per pass.
    void passEnded();
    void finish(WaitOutcome outcome);

    BrowserControl& control_;
    LogWriter& log_;
    const Clock& clock_;
    int timeoutSeconds_ = PageWaitTimeoutSeconds;
    bool stopped_ = false;

    // The wait under way.
    WaitDone done_;          // empty: no wait
    bool loaded_ = false;    // a document completed since the wait began
    bool redirectAwaited_ = false;  // the first document is yet to come, and a second will follow
    DateTime deadline_ = 0;
    int passes_ = 0;         // counts the passes of both waits together
};

}  // namespace quorvane
