#pragma once
// What the refresh reads and writes of the operator window: the fake-time box, the force-grab
// box, the board fragment box, the refresh timer and the board view. The window implements it;
// tests implement it with plain fields.
#include <string>

class TRefreshHost {
public:
    virtual ~TRefreshHost() = default;
    // Text of txtDateTime (empty: the real clock).
    virtual std::string FakeTimeText() const = 0;
    virtual bool ForceGrabChecked() const = 0;
    virtual void SetForceGrabChecked(bool checked) = 0;
    // Replaces the whole board fragment (memoHTML) in one step.
    virtual void SetBoardFragment(const std::string& fragment) = 0;
    // Enables Timer1 (enabling an enabled timer does not restart it).
    virtual void EnableRefreshTimer() = 0;
};
