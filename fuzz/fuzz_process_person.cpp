// The day-page parser over arbitrary pages: one person whose cached day view is the input,
// read at a fixed moment with no grab pending. A range or conversion error is the parser's
// documented answer to a page it cannot read; anything else is a fault.
#include <cstdlib>

#include "board/Refresh.h"
#include "fuzz/FuzzSupport.h"
#include "text/Errors.h"

namespace {

class QuietHost final : public RefreshHost {
public:
    std::string fakeTimeText() const override { return {}; }
    bool forceGrabChecked() const override { return false; }
    void setForceGrabChecked(bool) override {}
    void enableRefreshTimer() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FixedClock clock;
    static IdleBrowserControl control;
    static QuietHost host;
    CountingLog log;
    bool pageLoaded = false;
    BrowserDriver browser(control, log, clock, pageLoaded);

    Roster roster;
    roster.reset();
    roster.personName = {"Ann Example"};
    roster.calendarItemId = {"1001"};
    roster.leaveTag = {"A Example"};
    roster.dayPageHtml = {fuzzText(data, size)};
    BoardState state;
    state.nowTime = FuzzNow;
    state.grabPending = false;

    RefreshCycle cycle(roster, state, browser, log, clock, host, {}, "calendar.example", "http://127.0.0.1/");
    try {
        cycle.processPerson(0);
    } catch (const RangeError&) {
    } catch (const ConvertError&) {
    }
    // The cached page is read, never changed, without a grab.
    if (roster.dayPageHtml[0].size() != size) std::abort();
    return 0;
}
