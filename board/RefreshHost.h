#pragma once
// What the refresh reads and writes of the operator's controls: the fake-time box, the force-grab
// box and the refresh timer. The window implements it; tests implement it with
// plain fields.
#include <string>

class RefreshHost {
public:
    virtual ~RefreshHost() = default;
    // Text of fakeTimeEdit (empty: the real clock).
    virtual std::string fakeTimeText() const = 0;
    virtual bool forceGrabChecked() const = 0;
    virtual void setForceGrabChecked(bool checked) = 0;
    // Enables refreshTimer (enabling an enabled timer does not restart it).
    virtual void enableRefreshTimer() = 0;
};
