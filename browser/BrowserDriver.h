#pragma once
// Sends the embedded browser to an address and waits, pass by pass, until the page (and, for
// the calendar's redirect, the second document) has loaded or the wait has timed out. Also the
// capture side: the location and the root element's markup as 8-bit text.
#include <string>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "log/LogWriter.h"

class BrowserDriver {
public:
    // Installs documentComplete on control.onDocumentComplete. pageLoaded is the
    // board's pageLoaded flag.
    BrowserDriver(BrowserControl& control, LogWriter& log, const Clock& clock, bool& pageLoaded);

    // Returns once the page has loaded (with expectRedirect: once a second document has loaded
    // after it) or a wait has timed out. A time-out is only logged.
    void navigateAndWait(const std::string& url, bool expectRedirect);
    // Every completed document sets pageLoaded, whatever frame or address it reports.
    void documentComplete();
    // Plain navigation; returns at once without waiting.
    void navigate(const std::string& url);
    // One wait pass of the event loop, for other waits (calendar fetches) to run in.
    void runWaitPass() { control_.runWaitPass(); }
    std::string locationUrl() const;
    std::string documentElementInnerHtml();

    // Seconds each wait may last (PageWaitTimeoutSeconds unless changed).
    void setTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int timeoutSeconds() const { return timeoutSeconds_; }

private:
    void wait(DateTime deadline, int& passes);

    BrowserControl& control_;
    LogWriter& log_;
    const Clock& clock_;
    bool& pageLoaded_;
    int timeoutSeconds_ = PageWaitTimeoutSeconds;
};
