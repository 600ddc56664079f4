#pragma once
// A browser control on a fake clock: each pass advances the clock by a pass's length and fires
// the document completions planned for it; markup reads are answered before the next pass.
// runPending() plays the event loop: it runs what was started until nothing is left.
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "tests/support/TestDoubles.h"

namespace quorvane {

struct FakeBrowserControl : BrowserControl {
    FakeClock& clock;
    explicit FakeBrowserControl(FakeClock& clock) : clock(clock) {}
    // Passes after a navigation at which documents complete, and the markup an address shows.
    std::function<std::vector<int>(const std::string&)> planFor = [](const std::string&) { return std::vector<int>{1}; };
    std::function<std::string(const std::string&)> pageFor = [](const std::string&) { return std::string(); };
    std::function<void()> duringPass;  // an event handled during a pass
    // The engine's error page an address ends in ("" for the server's own page), and whether
    // markup reads fail (their limit reached).
    std::function<std::string(const std::string&)> errorFor = [](const std::string&) { return std::string(); };
    bool markupReadFails = false;
    std::function<std::string(const std::string&)> locationFor = [](const std::string& url) { return url; };
    std::string error;
    bool aborted = false, passStarted = false;
    std::vector<std::string> navigations;
    std::vector<int> plan;
    std::string location, markup;
    int passes = 0, sinceNavigate = 0;
    std::deque<std::function<void(std::optional<std::string>)>> reads;

    void navigate(const std::string& url) override
    {
        navigations.push_back(url);
        location = locationFor(url);
        plan = planFor(url);
        markup = pageFor(url);
        error = errorFor(url);
        sinceNavigate = 0;
    }
    std::string locationUrl() const override { return location; }
    void readMarkup(std::function<void(std::optional<std::string>)> done) override { reads.push_back(std::move(done)); }
    std::string errorPageReason() const override { return error; }
    void abortWaits() override { aborted = true; }
    void startPass() override { passStarted = true; }

    // One step of the event loop: a markup read's answer, else one pass. False when idle.
    bool step()
    {
        if (!reads.empty()) {
            auto done = std::move(reads.front());
            reads.pop_front();
            done(markupReadFails || aborted ? std::nullopt : std::optional<std::string>(markup));
            return true;
        }
        if (!passStarted) return false;
        passStarted = false;
        if (!aborted) clock.value += WaitPassMilliseconds / 86400000.0;
        ++passes;
        ++sinceNavigate;
        for (int at : plan) {
            if (at == sinceNavigate && onDocumentComplete) onDocumentComplete();
        }
        if (duringPass) duringPass();
        if (onPassEnd) onPassEnd();
        return true;
    }
    void runPending()
    {
        while (step()) {
        }
    }
};

inline std::string readDayPage(const std::string& name)
{
    std::ostringstream out;
    out << std::ifstream(std::string(QUORVANE_TEST_DATA) + "/daypages/" + name, std::ios::binary).rdbuf();
    return out.str();
}

}  // namespace quorvane
