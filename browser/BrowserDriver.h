#pragma once
// Sends the embedded browser to an address and waits, pass by pass, until the page (and, for
// the calendar's redirect, the second document) has loaded or the wait has timed out. Also the
// capture side: the location and the root element's markup as 8-bit text.
#include <string>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "ui/LogWriter.h"

class TBrowserDriver {
public:
    // Installs WebBrowser1DocumentComplete on control.OnDocumentComplete. pageLoaded is the
    // board's PageLoaded flag.
    TBrowserDriver(TBrowserControl& control, TLogWriter& log, const TClock& clock, bool& pageLoaded);

    // Returns once the page has loaded (with expectRedirect: once a second document has loaded
    // after it) or a wait has timed out. A time-out is only logged.
    void NavigateAndWait(const std::string& url, bool expectRedirect);
    // Every completed document sets PageLoaded, whatever frame or address it reports.
    void WebBrowser1DocumentComplete();
    // Plain navigation; returns at once without waiting.
    void Navigate(const std::string& url);
    std::string LocationURL() const;
    std::string DocumentElementInnerHTML();

    // Seconds each wait may last (PageWaitTimeoutSeconds unless changed).
    void SetTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int TimeoutSeconds() const { return timeoutSeconds_; }

private:
    void Wait(TDateTime deadline, int& passes);

    TBrowserControl& control_;
    TLogWriter& log_;
    const TClock& clock_;
    bool& pageLoaded_;
    int timeoutSeconds_ = PageWaitTimeoutSeconds;
};
