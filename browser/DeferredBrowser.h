#pragma once
// A browser made on first use: a board whose roster has no web-calendar person never starts the
// embedded engine (its processes cost far more than the rest of the program). The first load,
// pass or markup read makes it; showing a page before then is dropped, as there is nowhere to
// show it.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "browser/BrowserControl.h"

namespace quorvane {

class DeferredBrowser final : public BrowserControl {
public:
    using Maker = std::function<std::unique_ptr<BrowserControl>()>;
    explicit DeferredBrowser(Maker make) : make_(std::move(make)) {}
    ~DeferredBrowser() override;

    void navigate(const std::string& url) override { made().navigate(url); }
    void show(const std::string& url) override;
    std::string locationUrl() const override { return browser_ ? browser_->locationUrl() : std::string(); }
    void readMarkup(std::function<void(std::optional<std::string>)> done) override { made().readMarkup(std::move(done)); }
    void startPass() override { made().startPass(); }
    std::string errorPageReason() const override { return browser_ ? browser_->errorPageReason() : std::string(); }
    void abortWaits() override;
    // Whether the browser has been made.
    bool started() const { return browser_ != nullptr; }

private:
    BrowserControl& made();

    Maker make_;
    std::unique_ptr<BrowserControl> browser_;
    bool aborted_ = false;  // stopped before it was made: the one made is stopped at once
};

}  // namespace quorvane
