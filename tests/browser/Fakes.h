#pragma once
// A browser control whose passes advance the fake clock and fire the document completions
// planned for them.
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "tests/support/TestDoubles.h"

struct FakeBrowserControl : BrowserControl {
    FakeClock& clock;
    explicit FakeBrowserControl(FakeClock& clock) : clock(clock) {}
    // Passes after a navigation at which documents complete, and the markup an address shows.
    std::function<std::vector<int>(const std::string&)> planFor = [](const std::string&) { return std::vector<int>{1}; };
    std::function<std::string(const std::string&)> pageFor = [](const std::string&) { return std::string(); };
    std::function<void()> duringPass;  // an event handled inside a wait
    // The engine's error page an address ends in ("" for the server's own page), and whether
    // markup reads fail (their limit reached).
    std::function<std::string(const std::string&)> errorFor = [](const std::string&) { return std::string(); };
    bool markupReadFails = false;
    std::function<std::string(const std::string&)> locationFor = [](const std::string& url) { return url; };
    std::string error;
    bool aborted = false;
    std::vector<std::string> navigations;
    std::vector<int> plan;
    std::string location, Markup;
    int passes = 0, SinceNavigate = 0;

    void navigate(const std::string& url) override
    {
        navigations.push_back(url);
        location = locationFor(url);
        plan = planFor(url);
        Markup = pageFor(url);
        error = errorFor(url);
        SinceNavigate = 0;
    }
    std::string locationUrl() const override { return location; }
    Variant documentElementInnerHtml() override { return markupReadFails ? Variant{} : Variant{Markup}; }
    std::string errorPageReason() const override { return error; }
    void abortWaits() override { aborted = true; }
    void runWaitPass() override
    {
        clock.value += WaitPassMilliseconds / 86400000.0;
        ++passes;
        ++SinceNavigate;
        for (int at : plan) {
            if (at == SinceNavigate) onDocumentComplete();
        }
        if (duringPass) duringPass();
    }
};

inline std::string readDayPage(const std::string& name)
{
    std::ostringstream out;
    out << std::ifstream(std::string(QUORVANE_TEST_DATA) + "/daypages/" + name, std::ios::binary).rdbuf();
    return out.str();
}
