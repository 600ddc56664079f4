#pragma once
// The operator's controls as plain fields: the fake-time box, the force-grab box, the last
// fragment shown (filled by whoever publishes), and how often the refresh timer was enabled.
#include <string>

#include "board/RefreshHost.h"

namespace quorvane {

struct QuietHost : RefreshHost {
    std::string fakeTime;
    bool forceGrab = false;
    std::string shown;
    int timerEnables = 0;
    std::string fakeTimeText() const override { return fakeTime; }
    bool forceGrabChecked() const override { return forceGrab; }
    void setForceGrabChecked(bool checked) override { forceGrab = checked; }
    void enableRefreshTimer() override { ++timerEnables; }
};

}  // namespace quorvane
