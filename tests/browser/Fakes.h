#pragma once
// Test doubles for the browser side: a settable clock, a log that records its lines, and a
// browser control that serves pages on the fake clock.
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "browser/BrowserConstants.h"
#include "browser/BrowserControl.h"
#include "text/Clock.h"
#include "text/DateTime.h"
#include "ui/LogWriter.h"

class TFakeClock : public TClock {
public:
    explicit TFakeClock(TDateTime start) : now_(start) {}
    TDateTime Now() const override { return now_; }
    void Set(TDateTime value) { now_ = value; }
    void AdvanceMilliseconds(int ms) { now_ += ms / 86400000.0; }

private:
    TDateTime now_;
};

// Lines as the activity log would hold them, without time stamps.
class TRecordingLog : public TLogWriter {
public:
    void Log(const std::string& text, bool append) override
    {
        if (append && !Lines.empty()) {
            Lines.back() += text;
        } else {
            Lines.push_back(text);
        }
        if (OnLog) OnLog(text, append);
    }
    std::vector<std::string> Lines;
    std::function<void(const std::string&, bool)> OnLog;
};

// A browser on the fake clock: each pass advances the clock by one pass length and fires the
// document completions planned for that pass after the last navigation.
class TFakeBrowserControl : public TBrowserControl {
public:
    explicit TFakeBrowserControl(TFakeClock& clock) : clock_(clock) {}

    void Navigate(const std::string& url) override
    {
        Navigations.push_back(url);
        location_ = url;
        sinceNavigate_ = 0;
        plan_ = PlanFor ? PlanFor(url) : std::vector<int>{1};
        markup_ = PageFor ? PageFor(url) : std::string();
    }
    std::string LocationURL() const override { return location_; }
    TVariant DocumentElementInnerHTML() override
    {
        ++MarkupReads;
        return TVariant{markup_};
    }
    void RunWaitPass() override
    {
        clock_.AdvanceMilliseconds(WaitPassMilliseconds);
        ++Passes;
        ++sinceNavigate_;
        for (int at : plan_) {
            if (at == sinceNavigate_ && OnDocumentComplete) OnDocumentComplete();
        }
        if (DuringPass) DuringPass(Passes);
    }

    // Passes after a navigation at which a document completes; default: one, in the first pass.
    std::function<std::vector<int>(const std::string&)> PlanFor;
    // Markup of the document an address leads to.
    std::function<std::string(const std::string&)> PageFor;
    // Runs at the end of every pass, as an event handled inside a wait would.
    std::function<void(int pass)> DuringPass;
    std::vector<std::string> Navigations;
    int Passes = 0;
    int MarkupReads = 0;

private:
    TFakeClock& clock_;
    std::string location_;
    std::string markup_;
    std::vector<int> plan_;
    int sinceNavigate_ = 0;
};

inline std::string ReadDayPage(const std::string& name)
{
    std::ifstream in(std::string(QUORVANE_TEST_DATA) + "/daypages/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
