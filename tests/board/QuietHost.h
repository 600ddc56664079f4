#pragma once
// The operator's controls as plain fields: no fake time, a force-grab box, the last fragment shown.
#include <string>

#include "board/RefreshHost.h"

struct QuietHost : RefreshHost {
    bool forceGrab = false;
    std::string shown;
    std::string fakeTimeText() const override { return {}; }
    bool forceGrabChecked() const override { return forceGrab; }
    void setForceGrabChecked(bool checked) override { forceGrab = checked; }
    void enableRefreshTimer() override {}
};
