#include "browser/BrowserDriver.h"

#include "browser/Variant.h"

BrowserDriver::BrowserDriver(BrowserControl& control, LogWriter& log, const Clock& clock, bool& pageLoaded)
    : control_(control), log_(log), clock_(clock), pageLoaded_(pageLoaded)
{
    control_.onDocumentComplete = [this] { documentComplete(); };
}

void BrowserDriver::documentComplete()
{
    pageLoaded_ = true;
}

void BrowserDriver::navigate(const std::string& url)
{
    control_.navigate(url);
}

std::string BrowserDriver::locationUrl() const
{
    return control_.locationUrl();
}

std::string BrowserDriver::documentElementInnerHtml()
{
    return variantToText(control_.documentElementInnerHtml());
}

void BrowserDriver::navigateAndWait(const std::string& url, bool expectRedirect)
{
    pageLoaded_ = false;
    control_.navigate(url);
    int passes = 0;  // counts the passes of both waits together
    wait(addSeconds(clock_.now(), timeoutSeconds_), passes);
    // The second wait gets a fresh deadline of its own.
    const DateTime deadline = addSeconds(clock_.now(), timeoutSeconds_);
    if (!expectRedirect) return;
    pageLoaded_ = false;
    log_.log(std::string(RedirectingText), false);
    wait(deadline, passes);
}

void BrowserDriver::wait(DateTime deadline, int& passes)
{
    // The flag is tested after each pass, so a wait always costs at least one pass.
    do {
        control_.runWaitPass();
        ++passes;
        if (passes % PassesPerDot == 0) log_.log(std::string(WaitDotText), true);
        if (clock_.now() > deadline) {
            log_.log(std::string(TimedOutText), true);
            pageLoaded_ = true;
        }
    } while (!pageLoaded_);
}
