#include "browser/BrowserDriver.h"

#include "browser/Variant.h"

TBrowserDriver::TBrowserDriver(TBrowserControl& control, TLogWriter& log, const TClock& clock, bool& pageLoaded)
    : control_(control), log_(log), clock_(clock), pageLoaded_(pageLoaded)
{
    control_.OnDocumentComplete = [this] { WebBrowser1DocumentComplete(); };
}

void TBrowserDriver::WebBrowser1DocumentComplete()
{
    pageLoaded_ = true;
}

void TBrowserDriver::Navigate(const std::string& url)
{
    control_.Navigate(url);
}

std::string TBrowserDriver::LocationURL() const
{
    return control_.LocationURL();
}

std::string TBrowserDriver::DocumentElementInnerHTML()
{
    return VariantToText(control_.DocumentElementInnerHTML());
}

void TBrowserDriver::NavigateAndWait(const std::string& url, bool expectRedirect)
{
    pageLoaded_ = false;
    control_.Navigate(url);
    int passes = 0;  // counts the passes of both waits together
    Wait(AddSeconds(clock_.Now(), timeoutSeconds_), passes);
    // The second wait gets a fresh deadline of its own.
    const TDateTime deadline = AddSeconds(clock_.Now(), timeoutSeconds_);
    if (!expectRedirect) return;
    pageLoaded_ = false;
    log_.Log(std::string(RedirectingText), false);
    Wait(deadline, passes);
}

void TBrowserDriver::Wait(TDateTime deadline, int& passes)
{
    // The flag is tested after each pass, so a wait always costs at least one pass.
    do {
        control_.RunWaitPass();
        ++passes;
        if (passes % PassesPerDot == 0) log_.Log(std::string(WaitDotText), true);
        if (clock_.Now() > deadline) {
            log_.Log(std::string(TimedOutText), true);
            pageLoaded_ = true;
        }
    } while (!pageLoaded_);
}
