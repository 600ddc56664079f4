#pragma once
// Test doubles: a settable clock, a log recording its lines (no stamps), and a browser control
// whose passes advance the fake clock and fire the document completions planned for them.
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "ui/LogWriter.h"

struct TFakeClock : TClock {
    TDateTime Value;
    explicit TFakeClock(TDateTime start) : Value(start) {}
    TDateTime Now() const override { return Value; }
};

struct TRecordingLog : TLogWriter {
    std::vector<std::string> Lines;
    std::function<void(const std::string&)> OnLog;  // an event handled while the log pumps
    void Log(const std::string& text, bool append) override
    {
        if (append && !Lines.empty()) Lines.back() += text;
        else Lines.push_back(text);
        if (OnLog) OnLog(text);
    }
};

struct TFakeBrowserControl : TBrowserControl {
    TFakeClock& Clock;
    explicit TFakeBrowserControl(TFakeClock& clock) : Clock(clock) {}
    // Passes after a navigation at which documents complete, and the markup an address shows.
    std::function<std::vector<int>(const std::string&)> PlanFor = [](const std::string&) { return std::vector<int>{1}; };
    std::function<std::string(const std::string&)> PageFor = [](const std::string&) { return std::string(); };
    std::function<void()> DuringPass;  // an event handled inside a wait
    std::vector<std::string> Navigations;
    std::vector<int> Plan;
    std::string Location, Markup;
    int Passes = 0, SinceNavigate = 0;

    void Navigate(const std::string& url) override
    {
        Navigations.push_back(Location = url);
        Plan = PlanFor(url);
        Markup = PageFor(url);
        SinceNavigate = 0;
    }
    std::string LocationURL() const override { return Location; }
    TVariant DocumentElementInnerHTML() override { return TVariant{Markup}; }
    void RunWaitPass() override
    {
        Clock.Value += WaitPassMilliseconds / 86400000.0;
        ++Passes;
        ++SinceNavigate;
        for (int at : Plan) {
            if (at == SinceNavigate) OnDocumentComplete();
        }
        if (DuringPass) DuringPass();
    }
};

inline std::string ReadDayPage(const std::string& name)
{
    std::ostringstream out;
    out << std::ifstream(std::string(QUORVANE_TEST_DATA) + "/daypages/" + name, std::ios::binary).rdbuf();
    return out.str();
}
