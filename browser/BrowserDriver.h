#pragma once
// Sends the embedded browser to an address and waits, pass by pass, until the page (and, for
// the calendar's redirect, the second document) has loaded or the wait has timed out. Also the
// capture side: the location and the root element's markup as 8-bit text.
#include <optional>
#include <string>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "log/LogWriter.h"

// How a page wait ended.
enum class WaitOutcome {
    Loaded,    // the page (and, when expected, the second document) completed
    TimedOut,  // a wait reached its time-out
    Stopped,   // the program is stopping: the wait was cut short
};

class BrowserDriver {
public:
    // Installs documentComplete on control.onDocumentComplete. pageLoaded is the
    // board's pageLoaded flag.
    BrowserDriver(BrowserControl& control, LogWriter& log, const Clock& clock, bool& pageLoaded);

    // Returns once the page has loaded (with expectRedirect: once a second document has loaded
    // after it), a wait has timed out (logged) or the waits were stopped. No redirect is awaited
    // after the engine's own error page: none will come.
    WaitOutcome navigateAndWait(const std::string& url, bool expectRedirect);
    // Every completed document sets pageLoaded, whatever frame or address it reports.
    void documentComplete();
    // Plain navigation; returns at once without waiting.
    void navigate(const std::string& url);
    // One wait pass of the event loop, for other waits (calendar fetches) to run in.
    void runWaitPass() { control_.runWaitPass(); }
    std::string locationUrl() const;
    std::string documentElementInnerHtml();
    // The root element's markup, or nothing when the read ended without it (its own limit, a
    // stop): an empty text would otherwise pass for an empty page.
    std::optional<std::string> captureMarkup();
    // The engine's reason when it shows its own error page; empty otherwise.
    std::string errorPageReason() const { return control_.errorPageReason(); }
    // Ends the wait under way at once; every later wait returns Stopped at once.
    void stop();
    bool stopped() const { return stopped_; }

    // Seconds each wait may last (PageWaitTimeoutSeconds unless changed).
    void setTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int timeoutSeconds() const { return timeoutSeconds_; }

private:
    WaitOutcome wait(DateTime deadline, int& passes);

    BrowserControl& control_;
    LogWriter& log_;
    const Clock& clock_;
    bool& pageLoaded_;
    int timeoutSeconds_ = PageWaitTimeoutSeconds;
    bool stopped_ = false;
};
