// The day-page parser over arbitrary pages: one person whose cached day view is the input,
// read at a fixed moment with no grab pending. A range or conversion error is the parser's
// documented answer to a page it cannot read; anything else is a fault.
#include <cstdlib>

#include "board/Refresh.h"
#include "fuzz/FuzzSupport.h"
#include "text/Errors.h"

namespace {

class TQuietHost final : public TRefreshHost {
public:
    std::string FakeTimeText() const override { return {}; }
    bool ForceGrabChecked() const override { return false; }
    void SetForceGrabChecked(bool) override {}
    void SetBoardFragment(const std::string&) override {}
    void EnableRefreshTimer() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TFixedClock clock;
    static TIdleBrowserControl control;
    static TQuietHost host;
    TCountingLog log;
    bool pageLoaded = false;
    TBrowserDriver browser(control, log, clock, pageLoaded);

    TRoster roster;
    roster.Reset();
    roster.PersonName = {"Ann Example"};
    roster.CalendarItemId = {"1001"};
    roster.LeaveTag = {"A Example"};
    roster.StatusHtml = {""};
    roster.DayPageHtml = {FuzzText(data, size)};
    TBoardState state;
    state.NowTime = FuzzNow;
    state.GrabPending = false;

    TRefreshCycle cycle(roster, state, browser, log, clock, host, "calendar.example");
    try {
        cycle.ProcessPerson(0);
    } catch (const ERangeError&) {
    } catch (const EConvertError&) {
    }
    // The cached page is read, never changed, without a grab.
    if (roster.DayPageHtml[0].size() != size) std::abort();
    return 0;
}
