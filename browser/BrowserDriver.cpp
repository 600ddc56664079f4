#include "browser/BrowserDriver.h"

#include <variant>

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

std::optional<std::string> BrowserDriver::captureMarkup()
{
    if (stopped_) return std::nullopt;
    const Variant markup = control_.documentElementInnerHtml();
    if (std::holds_alternative<std::monostate>(markup.value) || stopped_) return std::nullopt;
    return variantToText(markup);
}

void BrowserDriver::stop()
{
    stopped_ = true;
    control_.abortWaits();
}

WaitOutcome BrowserDriver::navigateAndWait(const std::string& url, bool expectRedirect)
{
    if (stopped_) return WaitOutcome::Stopped;
    pageLoaded_ = false;
    control_.navigate(url);
    int passes = 0;  // counts the passes of both waits together
    const WaitOutcome first = wait(addSeconds(clock_.now(), timeoutSeconds_), passes);
    // The second wait gets a fresh deadline of its own.
    const DateTime deadline = addSeconds(clock_.now(), timeoutSeconds_);
    if (!expectRedirect || first != WaitOutcome::Loaded || !control_.errorPageReason().empty()) return first;
    pageLoaded_ = false;
    log_.log(std::string(RedirectingText), false);
    return wait(deadline, passes);
}

WaitOutcome BrowserDriver::wait(DateTime deadline, int& passes)
{
    // The flag is tested after each pass, so a wait always costs at least one pass.
    WaitOutcome outcome = WaitOutcome::Loaded;
    do {
        control_.runWaitPass();
        ++passes;
        if (stopped_) {
            pageLoaded_ = true;
            return WaitOutcome::Stopped;
        }
        if (passes % PassesPerDot == 0) log_.log(std::string(WaitDotText), true);
        if (clock_.now() > deadline) {
            log_.log(std::string(TimedOutText), true);
            pageLoaded_ = true;
            outcome = WaitOutcome::TimedOut;
        }
    } while (!pageLoaded_);
    return outcome;
}
