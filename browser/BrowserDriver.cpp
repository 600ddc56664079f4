#include "browser/BrowserDriver.h"

#include <utility>

namespace quorvane {

BrowserDriver::BrowserDriver(BrowserControl& control, LogWriter& log, const Clock& clock)
    : control_(control), log_(log), clock_(clock)
{
    // Every completed document counts, whatever frame or address it reports.
    control_.onDocumentComplete = [this] { loaded_ = true; };
    control_.onPassEnd = [this] { passEnded(); };
}

BrowserDriver::~BrowserDriver()
{
    control_.onDocumentComplete = nullptr;
    control_.onPassEnd = nullptr;
}

void BrowserDriver::navigate(const std::string& url)
{
    control_.show(url);
}

void BrowserDriver::captureMarkup(MarkupDone done)
{
    if (stopped_) return done(std::nullopt);
    control_.readMarkup([this, done = std::move(done)](std::optional<std::string> markup) {
        done(stopped_ ? std::nullopt : std::move(markup));
    });
}

void BrowserDriver::stop()
{
    stopped_ = true;
    control_.abortWaits();
}

void BrowserDriver::load(const std::string& url, bool expectRedirect, WaitDone done)
{
    if (stopped_) return done(WaitOutcome::Stopped);
    done_ = std::move(done);
    loaded_ = false;
    redirectAwaited_ = expectRedirect;
    passes_ = 0;
    control_.navigate(url);
    deadline_ = addSeconds(clock_.now(), timeoutSeconds_);
    control_.startPass();
}

void BrowserDriver::passEnded()
{
    if (!done_) return;
    // The flag is tested after each pass, so a wait always costs at least one pass.
    ++passes_;
    if (stopped_) return finish(WaitOutcome::Stopped);
    if (passes_ % PassesPerDot == 0) log_.log(std::string(WaitDotText), true);
    if (clock_.now() > deadline_) {
        log_.log(std::string(TimedOutText), true);
        return finish(WaitOutcome::TimedOut);
    }
    if (!loaded_) return control_.startPass();
    if (!redirectAwaited_ || !control_.errorPageReason().empty()) return finish(WaitOutcome::Loaded);
    // The first document is in; the second wait gets a fresh deadline of its own.
    redirectAwaited_ = false;
    loaded_ = false;
    deadline_ = addSeconds(clock_.now(), timeoutSeconds_);
    log_.log(std::string(RedirectingText), false);
    control_.startPass();
}

void BrowserDriver::finish(WaitOutcome outcome)
{
    WaitDone done = std::move(done_);
    done_ = nullptr;
    done(outcome);
}

}  // namespace quorvane
