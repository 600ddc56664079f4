#include "browser/DeferredBrowser.h"

namespace quorvane {

DeferredBrowser::~DeferredBrowser()
{
    if (!browser_) return;
    browser_->onDocumentComplete = nullptr;
    browser_->onProgressChange = nullptr;
    browser_->onPassEnd = nullptr;
}

void DeferredBrowser::show(const std::string& url)
{
    if (browser_) browser_->show(url);
}

void DeferredBrowser::abortWaits()
{
    aborted_ = true;
    if (browser_) browser_->abortWaits();
}

BrowserControl& DeferredBrowser::made()
{
    if (browser_) return *browser_;
    browser_ = make_();
    // Its events are raised as this control's, read at the time they come (the driver sets them
    // on this control).
    browser_->onDocumentComplete = [this] {
        if (onDocumentComplete) onDocumentComplete();
    };
    browser_->onProgressChange = [this](int progress, int progressMax) {
        if (onProgressChange) onProgressChange(progress, progressMax);
    };
    browser_->onPassEnd = [this] {
        if (onPassEnd) onPassEnd();
    };
    if (aborted_) browser_->abortWaits();
    return *browser_;
}

}  // namespace quorvane
